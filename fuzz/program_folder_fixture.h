#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/program_folder.h"
#include "support/temp_folder.h"

namespace telpod::fuzz {

// A program folder of the fuzz run's own, so inputs never touch a real
// config.dat; on tmpfs when there is one, where writing and syncing the
// input file cost little. Removed when the run ends.
class ProgramFolderFixture {
 public:
  ProgramFolderFixture() : scope_(folder_.path()) {}

  // The folder with a trailing separator, as the import and export take it.
  std::string Folder() const { return folder_.path() + "/"; }

  void WriteFile(const std::string& name, const uint8_t* data, size_t size) const {
    std::ofstream out(folder_.File(name), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

 private:
  test::TempFolder folder_{std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : ""};
  platform::ScopedProgramFolder scope_;
};

}  // namespace telpod::fuzz
