#include "platform/driver_folders.h"

#include "platform/file_system.h"
#include "platform/program_folder.h"

namespace telpod::platform {

std::vector<std::string> DriverFolders() {
  return {"/usr/local/lib", "/usr/lib", "/usr/lib/x86_64-linux-gnu",
          JoinPath(ProgramFolder(), "drivers")};
}

std::optional<std::string> FindDriverFile(const std::string& file) {
  for (const auto& folder : DriverFolders()) {
    const std::string path = JoinPath(folder, file);
    if (FileExists(path)) return path;
  }
  return std::nullopt;
}

}  // namespace telpod::platform
