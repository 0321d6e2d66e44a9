#include "core/candump_log.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "cansim_control.h"

namespace cansim {

namespace {

constexpr size_t kMaxDataBytes = 8;
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

// "(1733480000.123456) kvaser0": what a frame line and its raw line share.
char* PutStamp(char* out, int64_t realtime_ns, std::string_view device) {
  *out++ = '(';
  out = std::to_chars(out, out + 20, realtime_ns / 1'000'000'000).ptr;
  *out++ = '.';
  uint32_t micros = static_cast<uint32_t>((realtime_ns % 1'000'000'000) / 1000);
  for (int i = 5; i >= 0; --i, micros /= 10) out[i] = static_cast<char>('0' + micros % 10);
  out = PutText(out + 6, ") ");
  return PutText(out, device);
}

// "7DF#0201", "18DAF110#R", "123#R4": a remote frame shows its length the
// way candump does, as one digit after the R when it is 1 to 8.
char* PutFrame(char* out, const WireFrame& frame) {
  out = PutHex(out, frame.id, frame.extended ? 8 : 3);
  *out++ = '#';
  if (!frame.remote) return PutBytes(out, frame.data, std::min<size_t>(frame.dlc, kMaxDataBytes));
  *out++ = 'R';
  if (frame.dlc >= 1 && frame.dlc <= kMaxDataBytes) *out++ = kHex[frame.dlc];
  return out;
}

}  // namespace

void CandumpLog::OpenNamedLogs() {
  const char* log = std::getenv("CANSIM_LOG");
  if (log && !Open(log)) std::fprintf(stderr, "cansim: cannot open CANSIM_LOG %s\n", log);
  const char* raw = std::getenv("CANSIM_RAW_LOG");
  if (raw && !OpenRaw(raw)) std::fprintf(stderr, "cansim: cannot open CANSIM_RAW_LOG %s\n", raw);
}

void CandumpLog::Write(int64_t realtime_ns, const WireFrame& frame) {
  if (frames_.enabled()) {
    char* out = PutStamp(frames_.Reserve(), realtime_ns, frame.device_name);
    *out++ = ' ';
    out = PutFrame(out, frame);
    *out++ = '\n';
    frames_.Commit(out, realtime_ns);
  }
  if (raw_.enabled()) {
    char* out = PutStamp(raw_.Reserve(), realtime_ns, frame.device_name);
    if (frame.raw_size > 0) *out++ = ' ';  // an empty record leaves the line at its interface
    out = PutBytes(out, static_cast<const uint8_t*>(frame.raw),
                   std::min<size_t>(frame.raw_size, CANSIM_RAW_MAX));
    *out++ = '\n';
    raw_.Commit(out, realtime_ns);
  }
}

}  // namespace cansim
