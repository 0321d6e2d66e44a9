#include "slcan/slcan_adapter.h"

#include <array>
#include <cctype>
#include <charconv>
#include <optional>

namespace cansim {

namespace {

constexpr const char* kYes = "\r";
constexpr const char* kNo = "\a";
constexpr uint32_t kMaxStandardId = 0x7FF;
constexpr uint32_t kMaxExtendedId = 0x1FFFFFFF;
// Flags of an SJA1000 that is alone on its bus: transmit FIFO full, error
// warning, error passive; off the bus it has also seen the bus error.
constexpr uint8_t kPassiveFlags = 0x26;
constexpr uint8_t kBusOffFlags = 0xA6;

std::optional<uint32_t> Hex(std::string_view digits) {
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  return value;
}

// A frame command cut into its fields; nullopt when it is malformed.
struct FrameCommand {
  uint32_t id = 0;
  bool extended = false;
  bool remote = false;
  uint8_t dlc = 0;
  std::array<uint8_t, 8> data{};
};

std::optional<FrameCommand> ParseFrame(std::string_view command) {
  FrameCommand f;
  f.extended = command[0] == 'T' || command[0] == 'R';
  f.remote = command[0] == 'r' || command[0] == 'R';
  const size_t id_digits = f.extended ? 8 : 3;
  if (command.size() < 2 + id_digits) return std::nullopt;
  const auto id = Hex(command.substr(1, id_digits));
  const auto dlc = Hex(command.substr(1 + id_digits, 1));
  if (!id || *id > (f.extended ? kMaxExtendedId : kMaxStandardId) || !dlc || *dlc > 8) {
    return std::nullopt;
  }
  f.id = *id;
  f.dlc = static_cast<uint8_t>(*dlc);
  const std::string_view data = command.substr(2 + id_digits);
  if (data.size() != (f.remote ? 0u : 2u * f.dlc)) return std::nullopt;
  for (size_t i = 0; i < data.size() / 2; ++i) {
    const auto byte = Hex(data.substr(2 * i, 2));
    if (!byte) return std::nullopt;
    f.data[i] = static_cast<uint8_t>(*byte);
  }
  return f;
}

}  // namespace

std::string SlcanAdapter::Answer(std::string_view command) {
  if (setup_.silent) return "";
  if (setup_.garbage) return "\xfe#?!~\r";
  if (command.empty()) return kYes;
  switch (command[0]) {
    case 'S':
      return SetRate(command);
    case 'O':
      return command.size() == 1 ? Open() : kNo;
    case 'C':
      return command.size() == 1 ? Close() : kNo;
    case 't':
    case 'T':
    case 'r':
    case 'R':
      return Frame(command);
    case 'F':
      return command.size() == 1 && open_ ? StatusFlags() : kNo;
    case 'V':
      return "V" + setup_.version + kYes;
    case 'N':
      return setup_.serial.empty() ? kNo : "N" + setup_.serial + kYes;
    default:
      return kNo;
  }
}

std::string SlcanAdapter::SetRate(std::string_view command) {
  if (open_ || command.size() != 2 || command[1] < '0' || command[1] > '8') return kNo;
  rate_ = command[1] - '0';
  return kYes;
}

std::string SlcanAdapter::Open() {
  if (open_ || rate_ < 0 || setup_.open_fails) return kNo;
  open_ = true;
  queue_.Open();
  return kYes;
}

std::string SlcanAdapter::Close() {
  if (!open_) return kNo;
  open_ = false;
  if (bus_.closed) bus_.closed();
  return kYes;
}

std::string SlcanAdapter::Frame(std::string_view command) {
  const auto frame = open_ ? ParseFrame(command) : std::nullopt;
  if (!frame || setup_.write_fails || !queue_.Take()) return kNo;
  if (bus_.frame) {
    bus_.frame({.device_name = name_,
                .device = index_,
                .id = frame->id,
                .extended = frame->extended,
                .remote = frame->remote,
                .dlc = frame->dlc,
                .data = frame->data.data(),
                .raw = command.data(),
                .raw_size = command.size()});
  }
  if (setup_.bare_ack) return kYes;
  return frame->extended ? "Z\r" : "z\r";
}

std::string SlcanAdapter::StatusFlags() const {
  uint8_t flags = 0;
  switch (queue_.condition()) {
    case BusCondition::BusOff:
      flags = kBusOffFlags;
      break;
    case BusCondition::ErrorPassive:
      flags = kPassiveFlags;
      break;
    case BusCondition::ErrorActive:
      break;
  }
  constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string{'F', kDigits[flags >> 4], kDigits[flags & 0xF], '\r'};
}

}  // namespace cansim
