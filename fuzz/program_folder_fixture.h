#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "platform/program_folder.h"

namespace telpod::fuzz {

// A program folder of the fuzz run's own, so inputs never touch a real
// config.dat; on tmpfs when there is one, where writing and syncing the
// input file cost little. Removed when the run ends.
class ProgramFolderFixture {
 public:
  ProgramFolderFixture() : path_(MakeFolder()), scope_(path_) {}
  ~ProgramFolderFixture() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ProgramFolderFixture(const ProgramFolderFixture&) = delete;
  ProgramFolderFixture& operator=(const ProgramFolderFixture&) = delete;

  // The folder with a trailing separator, as the import and export take it.
  std::string Folder() const { return path_ + "/"; }

  void WriteFile(const std::string& name, const uint8_t* data, size_t size) const {
    std::ofstream out(path_ + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

 private:
  static std::string MakeFolder() {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? "/dev/shm"
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "telpod-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
  }

  std::string path_;
  platform::ScopedProgramFolder scope_;
};

}  // namespace telpod::fuzz
