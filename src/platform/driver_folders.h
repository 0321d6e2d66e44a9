#pragma once

#include <optional>
#include <string>
#include <vector>

namespace telpod::platform {

// File names of the three vendor libraries and of the clock library here.
inline constexpr const char* kCanusbLibraryFile = "libcanusbdrv.so";
inline constexpr const char* kIfCanLibraryFile = "libIFCan.so";
inline constexpr const char* kCanlibLibraryFile = "libcanlib.so.1";
inline constexpr const char* kClockLibraryFile = "libzqt100.so";

// Where driver libraries are looked for, in order: the system library
// folders first, where a maker installs the real library, then the
// program's own drivers/ folder, where the simulators stand in for hardware
// that is not there.
std::vector<std::string> DriverFolders();

// Absolute path of `file` in the first driver folder that holds it.
std::optional<std::string> FindDriverFile(const std::string& file);

}  // namespace telpod::platform
