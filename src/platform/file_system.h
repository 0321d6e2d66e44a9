#pragma once

#include <string>
#include <string_view>

namespace telpod::platform {

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Deletes a file even when it is marked read-only; true when it is gone.
bool DeleteFileForced(const std::string& path);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Replaces `path` with `bytes` atomically: the bytes go to a temporary file
// in the same folder, are flushed to disk, and the temporary file is renamed
// over the old one. A failure at any point leaves the old file whole, and
// errno says why.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// The system's words for an errno value ("Permission denied").
std::string SystemErrorText(int error);

}  // namespace telpod::platform
