#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace telpod::platform {

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolders(const std::string& path) {
  if (path.empty()) return false;
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    ::mkdir(path.substr(0, slash).c_str(), S_IRWXU);
  }
  ::mkdir(path.c_str(), S_IRWXU);
  return FolderExists(path);
}

bool DeleteFileForced(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return true;
  // Read-only on this platform is a missing write bit; unlink ignores it
  // unless the folder forbids, so give the file write permission and retry.
  ::chmod(path.c_str(), S_IRUSR | S_IWUSR);
  return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

int FileReadError(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st {};
  const int error = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
  ::close(fd);
  return error;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

std::string SystemErrorText(int error) {
  return std::strerror(error);
}

}  // namespace telpod::platform
