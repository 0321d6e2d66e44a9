#pragma once

#include <ctime>

#include "platform/window_services.h"

namespace telpod::platform {

// A deadline as the kernel's CLOCK_MONOTONIC timers take it; moments before
// the clock's start become its start.
timespec MonotonicTimespec(Deadline deadline);

}  // namespace telpod::platform
