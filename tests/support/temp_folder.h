#pragma once

#include <string>

namespace telpod::test {

// A fresh folder under `base` (the system's temporary folder when empty),
// removed with all its contents when the object dies.
class TempFolder {
 public:
  explicit TempFolder(const std::string& base = "");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Reads a whole file as bytes (empty when it is missing).
std::string ReadFile(const std::string& path);
// Writes bytes to a file, replacing it.
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace telpod::test
