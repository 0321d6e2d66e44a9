#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/program_folder.h"

namespace telpod::platform {

namespace {

// One lock per program folder, so that tests running side by side with
// folders of their own never see each other as a running instance.
std::string LockPath() {
  char name[64];
  std::snprintf(name, sizeof name, "telpod-%016zx.lock", std::hash<std::string>{}(ProgramFolder()));
  std::error_code error;
  const auto temp = std::filesystem::temp_directory_path(error);
  return JoinPath(error ? "/tmp" : temp.string(), name);
}

}  // namespace

SingleInstance::~SingleInstance() {
  if (fd_ >= 0) ::close(fd_);
}

bool SingleInstance::Acquire() {
  if (fd_ >= 0) return true;
  const int fd = ::open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  // A lock that cannot be made must not keep the program from starting.
  if (fd < 0) return true;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

}  // namespace telpod::platform
