#pragma once

#include <unistd.h>

#include <utility>

namespace telpod::platform {

// A file descriptor, closed when it goes out of scope; -1 holds none.
class ScopedFd {
 public:
  ScopedFd() = default;
  explicit ScopedFd(int fd) : fd_(fd) {}
  ~ScopedFd() { Close(); }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Holds `fd` instead, the old one closed; false when `fd` is none.
  bool Reset(int fd) {
    Close();
    fd_ = fd;
    return valid();
  }
  // False when closing reports an error: a write that failed late.
  bool Close() {
    const int fd = std::exchange(fd_, -1);
    return fd < 0 || ::close(fd) == 0;
  }
  // Hands the descriptor over to the caller, who closes it.
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_ = -1;
};

}  // namespace telpod::platform
