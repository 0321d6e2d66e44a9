#include "devices/slcan/slcan_protocol.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace telpod::slcan {

namespace {

constexpr uint32_t kMaxStandardId = 0x7FF;
constexpr uint32_t kMaxExtendedId = 0x1FFFFFFF;
// Longer than the longest reply: an extended frame with its time stamp.
constexpr size_t kLongestReply = 64;
constexpr char kHex[] = "0123456789ABCDEF";

// The rate of each S command, S0 first.
constexpr std::array<int32_t, 9> kRates{10'000,  20'000,  50'000,  100'000,  125'000,
                                        250'000, 500'000, 800'000, 1'000'000};

void PutHex(std::string& out, uint32_t value, int digits) {
  for (int i = digits - 1; i >= 0; --i) out += kHex[(value >> (4 * i)) & 0xF];
}

bool IsHex(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

bool IsPrintable(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

Reply Classify(std::string line) {
  std::erase(line, '\n');  // some adapters end their lines with CR LF
  if (line.empty() || line == "z" || line == "Z") return {Reply::Kind::Ok, "", 0};
  const std::string_view rest = std::string_view(line).substr(1);
  switch (line[0]) {
    case 't':
    case 'T':
    case 'r':
    case 'R':
      return {Reply::Kind::Frame, line, 0};
    case 'F':
      if (rest.size() == 2 && IsHex(rest[0]) && IsHex(rest[1])) {
        return {Reply::Kind::Status, "",
                static_cast<uint8_t>(std::stoul(std::string(rest), nullptr, 16))};
      }
      break;
    case 'V':
      if (!rest.empty() && IsPrintable(rest)) return {Reply::Kind::Version, std::string(rest), 0};
      break;
    case 'N':
      if (!rest.empty() && IsPrintable(rest)) return {Reply::Kind::Serial, std::string(rest), 0};
      break;
    default:
      break;
  }
  return {Reply::Kind::Unknown, line, 0};
}

}  // namespace

std::optional<std::string> RateCommand(int32_t bits_per_second) {
  const auto rate = std::find(kRates.begin(), kRates.end(), bits_per_second);
  if (rate == kRates.end()) return std::nullopt;
  return std::string{'S', static_cast<char>('0' + (rate - kRates.begin())), kOk};
}

std::optional<std::string> FrameCommand(const CanFrame& frame) {
  if (frame.dlc > CanFrame::kMaxData) return std::nullopt;
  if (frame.id > (frame.extended ? kMaxExtendedId : kMaxStandardId)) return std::nullopt;
  std::string command(1,
                      frame.remote ? (frame.extended ? 'R' : 'r') : (frame.extended ? 'T' : 't'));
  PutHex(command, frame.id, frame.extended ? 8 : 3);
  command += kHex[frame.dlc];
  if (!frame.remote) {
    for (size_t i = 0; i < frame.dlc; ++i) PutHex(command, frame.data[i], 2);
  }
  return command + kOk;
}

std::optional<Reply> ReplyReader::Next() {
  const size_t end = pending_.find_first_of(std::string{kOk, kError});
  if (end == std::string::npos) {
    if (pending_.size() > kLongestReply) pending_.clear();
    return std::nullopt;
  }
  const char terminator = pending_[end];
  std::string line = pending_.substr(0, end);
  pending_.erase(0, end + 1);
  if (terminator == kError) return Reply{Reply::Kind::Error, "", 0};
  return Classify(std::move(line));
}

BusState BusStateOfFlags(uint8_t flags) {
  return BusStateOf(flags, BusStateBits{0x80, 0x20, 0x04});
}

std::string VersionText(const std::string& hhss) {
  const bool digits = hhss.size() == 4 && std::all_of(hhss.begin(), hhss.end(), [](char c) {
                        return std::isdigit(static_cast<unsigned char>(c)) != 0;
                      });
  if (!digits) return hhss;
  return std::string("HW ") + hhss[0] + '.' + hhss[1] + " SW " + hhss[2] + '.' + hhss[3];
}

}  // namespace telpod::slcan
