#pragma once

#include <string>

namespace telpod::platform {

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Creates `path` and every missing folder above it, each readable by the
// user alone; true when the folder exists afterwards.
bool MakeFolders(const std::string& path);

// Deletes a file even when it is marked read-only; true when it is gone.
bool DeleteFileForced(const std::string& path);

// 0 when `path` is a file that can be opened for reading, else the errno
// value that says why not (ENOENT, EACCES, EISDIR for a folder, ...).
int FileReadError(const std::string& path);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// The system's words for an errno value ("Permission denied").
std::string SystemErrorText(int error);

}  // namespace telpod::platform
