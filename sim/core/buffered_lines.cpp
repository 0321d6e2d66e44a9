#include "core/buffered_lines.h"

#include <fcntl.h>
#include <unistd.h>

namespace cansim {

namespace {

constexpr size_t kBufferBytes = 64 * 1024;
constexpr int64_t kFlushEveryNs = 100'000'000;

}  // namespace

BufferedLines::BufferedLines() : buffer_(kBufferBytes) {}

BufferedLines::~BufferedLines() {
  Flush();
  Close();
}

bool BufferedLines::Open(const std::string& target) {
  Flush();
  Close();
  if (target.empty()) return true;
  if (target == "-") {
    fd_ = STDOUT_FILENO;
    return true;
  }
  fd_ = ::open(target.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  owns_fd_ = fd_ >= 0;
  return fd_ >= 0;
}

void BufferedLines::Close() {
  if (owns_fd_) ::close(fd_);
  fd_ = -1;
  owns_fd_ = false;
}

char* BufferedLines::Reserve() {
  if (buffer_.size() - used_ < kLongestLine) Flush();
  return buffer_.data() + used_;
}

void BufferedLines::Commit(const char* end, int64_t realtime_ns) {
  used_ = static_cast<size_t>(end - buffer_.data());
  if (realtime_ns - last_flush_ns_ >= kFlushEveryNs) {
    Flush();
    last_flush_ns_ = realtime_ns;
  }
}

void BufferedLines::Flush() {
  size_t done = 0;
  while (fd_ >= 0 && done < used_) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, used_ - done);
    if (n <= 0) break;  // a log that cannot be written loses its lines
    done += static_cast<size_t>(n);
  }
  used_ = 0;
}

}  // namespace cansim
