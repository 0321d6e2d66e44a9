#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cansim {

// The frame log in candump log format, one line per frame:
//   (1733480000.123456) canusb0 7DF#0201 # raw=DF070000...
// Lines collect in a buffer that goes out when it fills, when a device is
// closed, and at least every 100 ms of frame time, so a write costs no
// system call. CANSIM_LOG_RAW=0 leaves the raw-record comment out.
class CandumpLog {
 public:
  CandumpLog();
  ~CandumpLog();
  CandumpLog(const CandumpLog&) = delete;
  CandumpLog& operator=(const CandumpLog&) = delete;

  // "-" = standard output, empty = off, anything else a file appended to.
  bool Open(const std::string& target);
  bool enabled() const { return fd_ >= 0; }

  void Write(int64_t realtime_ns, std::string_view device, uint32_t id, bool extended, uint8_t dlc,
             const uint8_t* data, const uint8_t* raw, size_t raw_size);
  void Flush();

 private:
  void Close();

  int fd_ = -1;
  bool owns_fd_ = false;
  bool raw_comment_ = true;
  std::vector<char> buffer_;
  size_t used_ = 0;
  int64_t last_flush_ns_ = 0;
};

}  // namespace cansim
