#pragma once

// Only the vendor entry points and the control interface leave a simulated
// library; everything else is hidden, so the three can share a process.
#define CANSIM_EXPORT extern "C" __attribute__((visibility("default")))
