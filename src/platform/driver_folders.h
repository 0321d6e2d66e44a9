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

// Where driver libraries are looked for, in order: the program's own
// drivers/ folder first, then the system library folders.
std::vector<std::string> DriverFolders();

// Absolute path of `file` in the first driver folder that holds it.
std::optional<std::string> FindDriverFile(const std::string& file);

}  // namespace telpod::platform
