#include "platform/program_folder.h"

#include <unistd.h>

#include <array>
#include <utility>

namespace telpod::platform {
namespace {

std::string& Override() {
  static std::string folder;
  return folder;
}

std::string ExecutableFolder() {
  std::array<char, 4096> buffer{};
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return ".";
  std::string path(buffer.data(), static_cast<size_t>(n));
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

std::string ProgramFolder() {
  if (!Override().empty()) return Override();
  static const std::string folder = ExecutableFolder();
  return folder;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

const char* PathSeparator() {
  return "/";
}

ScopedProgramFolder::ScopedProgramFolder(std::string folder)
    : previous_(std::exchange(Override(), std::move(folder))) {}

ScopedProgramFolder::~ScopedProgramFolder() {
  Override() = std::move(previous_);
}

}  // namespace telpod::platform
