#pragma once

#include <string>
#include <string_view>

namespace telpod::xls {

// A file holding the given bytes in the system's temporary folder, removed
// when the object dies: for libraries that read only from a path.
class ScratchFile {
 public:
  explicit ScratchFile(std::string_view bytes);
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Empty when the file could not be written.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace telpod::xls
