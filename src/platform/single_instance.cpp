#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/file_system.h"
#include "platform/program_folder.h"

namespace telpod::platform {

namespace {

// The user's own runtime folder when the session has one, else the shared
// temporary folder.
std::string LockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/' && FolderExists(runtime)) return runtime;
  std::error_code error;
  const auto temp = std::filesystem::temp_directory_path(error);
  return error ? "/tmp" : temp.string();
}

// One lock per user and program folder: two users each run their own
// instance, and tests running side by side with folders of their own never
// see each other as a running instance.
std::string LockPath() {
  char name[80];
  std::snprintf(name, sizeof name, "telpod-%u-%016zx.lock", static_cast<unsigned>(::geteuid()),
                std::hash<std::string>{}(ProgramFolder()));
  return JoinPath(LockFolder(), name);
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
