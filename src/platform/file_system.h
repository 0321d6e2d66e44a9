#pragma once

#include <string>
#include <string_view>

namespace telpod::platform {

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Creates `path` and every missing folder above it, each readable by the
// user alone; true when the folder exists afterwards.
bool MakeFolders(const std::string& path);

// Deletes a file even when it is marked read-only; true when it is gone.
bool DeleteFileForced(const std::string& path);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Replaces `path` with `bytes` atomically: the bytes go to a temporary file
// in the same folder, are flushed to disk, and the temporary file is renamed
// over the old one. A failure at any point leaves the old file whole.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace telpod::platform
