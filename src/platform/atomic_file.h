#pragma once

#include <string>
#include <string_view>

namespace telpod::platform {

// Replaces the file at `path` with `bytes` so that a failure or a crash at
// any moment leaves the old file or the new one, whole. The bytes go to a
// temporary file beside it (without a name while it is written, where the
// file system allows), are flushed to disk, and that file is renamed over
// the old one. Besides:
// - a symbolic link keeps pointing where it did: its target is replaced;
// - the replaced file keeps its permission bits (and its owner, where the
//   system allows); a new file gets 0666 less the umask, as any other;
// - a file the user may not write is left alone and the result is false,
//   as a plain write would have failed.
// On failure errno says why.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Removes the temporary files that a crash in the middle of replacing
// `path` left beside it (only this user's, only by their exact pattern).
void RemoveStaleTemporaryFiles(const std::string& path);

}  // namespace telpod::platform
