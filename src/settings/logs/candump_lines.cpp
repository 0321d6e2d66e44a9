#include "settings/logs/candump_lines.h"

#include "settings/logs/log_words.h"

namespace telpod {

namespace {

constexpr uint32_t kErrorFlag = 0x20000000;
constexpr size_t kStandardDigits = 3;
constexpr size_t kExtendedDigits = 8;

// "(1733480000.123456)"
std::optional<int64_t> Stamp(std::string_view word) {
  if (word.size() < 3 || word.front() != '(' || word.back() != ')') return std::nullopt;
  return ParseSecondsNs(word.substr(1, word.size() - 2));
}

// "R", "R4": a remote frame and its length.
bool ReadRemote(std::string_view text, CanFrame& frame) {
  frame.remote = true;
  if (text.size() == 1) return true;
  const auto length = ParseUnsigned(text.substr(1), 10);
  if (text.size() != 2 || !length || *length > CanFrame::kMaxData) return false;
  frame.dlc = static_cast<uint8_t>(*length);
  return true;
}

// "1122", "11.22", and eight bytes may carry their length code: "..._C".
bool ReadData(std::string_view text, CanFrame& frame) {
  const size_t code = text.find('_');
  const std::string_view bytes = text.substr(0, code);
  size_t n = 0;
  for (size_t i = 0; i < bytes.size();) {
    if (bytes[i] == '.') {
      ++i;
      continue;
    }
    const auto byte = ParseUnsigned(bytes.substr(i, 2), 16);
    if (bytes.size() - i < 2 || !byte || n == CanFrame::kMaxData) return false;
    frame.data[n++] = static_cast<uint8_t>(*byte);
    i += 2;
  }
  frame.dlc = static_cast<uint8_t>(n);
  if (code == std::string_view::npos) return true;
  const auto dlc = ParseUnsigned(text.substr(code + 1), 16);
  if (n != CanFrame::kMaxData || text.size() != code + 2 || !dlc || *dlc <= CanFrame::kMaxData) {
    return false;
  }
  frame.dlc = static_cast<uint8_t>(*dlc);
  return true;
}

LineKind ReadFrame(std::string_view text, CanFrame& frame) {
  const size_t hash = text.find('#');
  if (hash == std::string_view::npos) return LineKind::Unreadable;
  const std::string_view digits = text.substr(0, hash);
  const std::string_view rest = text.substr(hash + 1);
  const auto id = ParseUnsigned(digits, 16);
  if (!id || digits.size() > kExtendedDigits) return LineKind::Unreadable;
  if (rest.starts_with('#')) return LineKind::Fd;
  if (digits.size() > kStandardDigits && (*id & kErrorFlag) != 0) return LineKind::Error;
  frame.extended = digits.size() > kStandardDigits;
  if (*id > CanFrame::MaxId(frame.extended)) return LineKind::Unreadable;
  frame.id = *id;
  const bool read = !rest.empty() && (rest.front() == 'R' || rest.front() == 'r')
                        ? ReadRemote(rest, frame)
                        : ReadData(rest, frame);
  return read ? LineKind::Frame : LineKind::Unreadable;
}

bool Direction(std::string_view word) {
  return word == "R" || word == "T" || word == "r" || word == "t";
}

}  // namespace

LineKind CandumpLines::Read(std::string_view line, RecordedFrame& recorded) {
  const LogWords words(line);
  if (words.count == 0) return LineKind::Quiet;
  if (words.count < 3 || words.count > 4 || (words.count == 4 && !Direction(words[3]))) {
    return LineKind::Unreadable;
  }
  const auto stamp = Stamp(words[0]);
  if (!stamp) return LineKind::Unreadable;
  CanFrame frame;
  const LineKind kind = ReadFrame(words[2], frame);
  if (kind != LineKind::Frame) return kind;
  recorded.time_ns = *stamp;
  recorded.channel.assign(words[1]);
  recorded.frame = frame;
  return LineKind::Frame;
}

}  // namespace telpod
