#include "settings/logs/asc_lines.h"

#include <algorithm>

namespace telpod {

namespace {

constexpr uint32_t kMaxDlc = 15;
constexpr uint32_t kMaxByte = 0xFF;

// Where the message words start: time, channel, identifier.
constexpr size_t kIdWord = 2;

bool Digits(std::string_view text) {
  return ParseUnsigned(text, 10).has_value();
}

}  // namespace

LineKind AscLines::Read(std::string_view line, RecordedFrame& frame) {
  const LogWords words(line);
  if (words.count == 0 || words[0].starts_with("//")) return LineKind::Quiet;
  const auto stamp = ParseSecondsNs(words[0]);
  if (!stamp) return Header(words);
  last_ns_ = relative_ ? last_ns_ + *stamp : *stamp;
  return Event(words, last_ns_, frame);
}

LineKind AscLines::Header(const LogWords& words) {
  const std::string_view first = words[0];
  if (SameWord(first, "base")) {
    if (!SameWord(words[1], "hex") && !SameWord(words[1], "dec")) return LineKind::Unreadable;
    base_ = SameWord(words[1], "dec") ? 10 : 16;
    if (SameWord(words[2], "timestamps")) relative_ = SameWord(words[3], "relative");
    return LineKind::Quiet;
  }
  for (const char* word : {"date", "begin", "end", "internal", "no"}) {
    if (SameWord(first, word)) return LineKind::Quiet;
  }
  return LineKind::Unreadable;
}

LineKind AscLines::Event(const LogWords& words, int64_t time_ns, RecordedFrame& recorded) const {
  if (SameWord(words[1], "CANFD")) return LineKind::Fd;
  if (!Digits(words[1])) return LineKind::Other;
  if (SameWord(words[kIdWord], "ErrorFrame")) return LineKind::Error;
  const std::string_view direction = words[kIdWord + 1];
  if (!SameWord(direction, "Rx") && !SameWord(direction, "Tx")) return LineKind::Other;
  CanFrame frame;
  if (!ReadMessage(words, frame)) return LineKind::Unreadable;
  recorded.time_ns = time_ns;
  recorded.channel.assign(words[1]);
  recorded.frame = frame;
  return LineKind::Frame;
}

bool AscLines::ReadMessage(const LogWords& words, CanFrame& frame) const {
  std::string_view id_text = words[kIdWord];
  frame.extended = id_text.ends_with('x') || id_text.ends_with('X');
  if (frame.extended) id_text.remove_suffix(1);
  const auto id = Number(id_text);
  if (!id || *id > CanFrame::MaxId(frame.extended)) return false;
  frame.id = *id;
  const std::string_view type = words[kIdWord + 2];
  const auto dlc = Number(words[kIdWord + 3]);
  if (SameWord(type, "r")) {
    // The length after "r" is optional; what follows may be other fields.
    frame.remote = true;
    frame.dlc = static_cast<uint8_t>(dlc && *dlc <= kMaxDlc ? *dlc : 0);
    return true;
  }
  if (!SameWord(type, "d") || !dlc || *dlc > kMaxDlc) return false;
  frame.dlc = static_cast<uint8_t>(*dlc);
  const size_t first = kIdWord + 4;
  for (size_t n = 0; n < std::min<size_t>(*dlc, CanFrame::kMaxData); ++n) {
    const auto byte = Number(words[first + n]);
    if (!byte || *byte > kMaxByte) return false;
    frame.data[n] = static_cast<uint8_t>(*byte);
  }
  return true;
}

std::unique_ptr<LogLineFormat> AscLines::ReaderOfLaterLines() const {
  if (relative_) return nullptr;
  return std::make_unique<AscLines>(*this);
}

}  // namespace telpod
