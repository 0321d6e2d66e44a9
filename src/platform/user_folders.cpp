#include "platform/user_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/file_system.h"
#include "platform/program_folder.h"

namespace telpod::platform {
namespace {

constexpr const char* kProgramName = "telpod";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string AccountHome() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
      !found->pw_dir) {
    return "";
  }
  return found->pw_dir;
}

bool Absolute(const std::string& path) {
  return !path.empty() && path.front() == '/';
}

// The program folder while the user may write it, else `elsewhere` (when
// there is one: a folder that cannot be written still beats none).
std::string ProgramFolderOr(const std::string& elsewhere) {
  const std::string program = ProgramFolder();
  return FolderWritable(program) || elsewhere.empty() ? program : elsewhere;
}

}  // namespace

bool FolderWritable(const std::string& folder) {
  struct stat st {};
  if (folder.empty() || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return false;
  return ::geteuid() != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

std::string HomeFolder() {
  const std::string home = Environment("HOME");
  return Absolute(home) ? home : AccountHome();
}

std::string ConfigurationFolder() {
  // A relative XDG_CONFIG_HOME would depend on the working folder: ignored.
  const std::string xdg = Environment("XDG_CONFIG_HOME");
  if (Absolute(xdg)) return JoinPath(xdg, kProgramName);
  const std::string home = HomeFolder();
  if (home.empty()) return "";
  return JoinPath(JoinPath(home, ".config"), kProgramName);
}

std::string SettingsFolder() {
  return ProgramFolderOr(ConfigurationFolder());
}

bool MakeSettingsFolder() {
  const std::string folder = SettingsFolder();
  if (folder == ConfigurationFolder()) MakeFolders(folder);
  return FolderExists(folder);
}

std::string DefaultFileFolder() {
  return ProgramFolderOr(HomeFolder());
}

std::string ExistingFolderOrDefault(const std::string& folder) {
  return FolderExists(folder) ? folder : DefaultFileFolder();
}

}  // namespace telpod::platform
