#include "core/candump_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace cansim {

namespace {

constexpr size_t kBufferBytes = 64 * 1024;
constexpr size_t kLongestLine = 256;
constexpr int64_t kFlushEveryNs = 100'000'000;
constexpr char kHex[] = "0123456789ABCDEF";

char* PutHex(char* out, uint32_t value, int digits) {
  for (int i = digits - 1; i >= 0; --i) *out++ = kHex[(value >> (4 * i)) & 0xF];
  return out;
}

char* PutBytes(char* out, const uint8_t* bytes, size_t n) {
  for (size_t i = 0; i < n; ++i) out = PutHex(out, bytes[i], 2);
  return out;
}

char* PutText(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

}  // namespace

CandumpLog::CandumpLog() : buffer_(kBufferBytes) {
  const char* raw = std::getenv("CANSIM_LOG_RAW");
  raw_comment_ = !(raw && std::strcmp(raw, "0") == 0);
}

CandumpLog::~CandumpLog() {
  Flush();
  Close();
}

bool CandumpLog::Open(const std::string& target) {
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

void CandumpLog::Close() {
  if (owns_fd_) ::close(fd_);
  fd_ = -1;
  owns_fd_ = false;
}

void CandumpLog::Write(int64_t realtime_ns, std::string_view device, uint32_t id, bool extended,
                       uint8_t dlc, const uint8_t* data, const uint8_t* raw, size_t raw_size) {
  if (fd_ < 0) return;
  if (buffer_.size() - used_ < kLongestLine + device.size()) Flush();
  char* out = buffer_.data() + used_;
  char* const end = buffer_.data() + buffer_.size();
  *out++ = '(';
  out = std::to_chars(out, end, realtime_ns / 1'000'000'000).ptr;
  *out++ = '.';
  const auto micros = static_cast<uint32_t>((realtime_ns % 1'000'000'000) / 1000);
  char digits[6];
  uint32_t rest = micros;
  for (int i = 5; i >= 0; --i, rest /= 10) digits[i] = static_cast<char>('0' + rest % 10);
  out = PutText(out, std::string_view(digits, 6));
  out = PutText(out, ") ");
  out = PutText(out, device);
  *out++ = ' ';
  out = PutHex(out, id, extended ? 8 : 3);
  *out++ = '#';
  out = PutBytes(out, data, std::min<size_t>(dlc, 8));
  if (raw_comment_) {
    out = PutText(out, " # raw=");
    out = PutBytes(out, raw, std::min<size_t>(raw_size, 32));
  }
  *out++ = '\n';
  used_ = static_cast<size_t>(out - buffer_.data());
  if (realtime_ns - last_flush_ns_ >= kFlushEveryNs) {
    Flush();
    last_flush_ns_ = realtime_ns;
  }
}

void CandumpLog::Flush() {
  size_t done = 0;
  while (fd_ >= 0 && done < used_) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, used_ - done);
    if (n <= 0) break;  // a log that cannot be written loses its lines
    done += static_cast<size_t>(n);
  }
  used_ = 0;
}

}  // namespace cansim
