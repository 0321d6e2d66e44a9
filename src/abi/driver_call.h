#pragma once

// Calling convention of the vendors' driver libraries: __stdcall on 32-bit
// Windows, plain C everywhere else.
#if defined(_WIN32) && !defined(_WIN64)
#define TELPOD_DRIVER_CALL __stdcall
#else
#define TELPOD_DRIVER_CALL
#endif
