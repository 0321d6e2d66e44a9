#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cansim {

// A text file (or standard output) fed line by line without a system call
// per line: lines collect in a buffer that goes out when it fills, on
// Flush, and at least every 100 ms of line time.
class BufferedLines {
 public:
  static constexpr size_t kLongestLine = 256;

  BufferedLines();
  ~BufferedLines();
  BufferedLines(const BufferedLines&) = delete;
  BufferedLines& operator=(const BufferedLines&) = delete;

  // "-" = standard output, empty = off, anything else a file appended to.
  bool Open(const std::string& target);
  bool enabled() const { return fd_ >= 0; }

  // Room for one line of at most kLongestLine characters; Commit takes the
  // line up to `end`, stamped with its wall-clock time.
  char* Reserve();
  void Commit(const char* end, int64_t realtime_ns);
  void Flush();

 private:
  void Close();

  int fd_ = -1;
  bool owns_fd_ = false;
  std::vector<char> buffer_;
  size_t used_ = 0;
  int64_t last_flush_ns_ = 0;
};

}  // namespace cansim
