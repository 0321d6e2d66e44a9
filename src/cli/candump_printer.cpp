#include "cli/candump_printer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "model/family.h"

namespace telpod {

namespace {

constexpr auto kFlushInterval = std::chrono::milliseconds(100);

std::string Blankless(std::string text) {
  std::replace_if(
      text.begin(), text.end(),
      [](unsigned char c) { return !std::isalnum(c) && c != '.' && c != '_' && c != '-'; }, '_');
  return text;
}

}  // namespace

std::string CandumpLine(std::chrono::system_clock::time_point when, std::string_view interface,
                        const CanFrame& frame) {
  const auto micros =
      std::chrono::duration_cast<std::chrono::microseconds>(when.time_since_epoch()).count();
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "(%lld.%06lld) ", static_cast<long long>(micros / 1'000'000),
                static_cast<long long>(micros % 1'000'000));
  std::string line = stamp;
  line.append(interface);
  return line + ' ' + CandumpText(frame) + '\n';
}

std::string DeviceInterfaceName(const ELM327_Info& device, const FamilyObjects& f) {
  switch (FamilyOf(device.t_select_Vender())) {
    case Family::CANUSB:
      return "canusb-" + Blankless(f.CAN_d.CAN_USB_SelectSerial());
    case Family::Interface:
      return "ifcan" + std::to_string(f.IfCan_d.Interface_CAN_FindNo(
                           static_cast<int16_t>(f.IfCan_d.Interface_CAN_SelectNo())));
    case Family::Kvaser:
      return "kvaser" + std::to_string(f.kvCan_d.Kvaser_DevChannel(
                            static_cast<int16_t>(f.kvCan_d.KvCAN_SelectNo() - 1)));
    case Family::SocketCAN:
      return Blankless(
          f.sockCan_d.SocketCAN_IfName(static_cast<int16_t>(f.sockCan_d.SocketCAN_SelectNo())));
    case Family::None:
      break;
  }
  return "none";
}

void CandumpPrinter::Written(const CanFrame& frame, bool taken) {
  if (!taken) return;
  ++frames_written_;
  if (quiet_) return;
  const auto now = std::chrono::system_clock::now();
  out_ << CandumpLine(now, interface_, frame);
  if (now - last_flush_ >= kFlushInterval) {
    out_.flush();
    last_flush_ = now;
  }
}

}  // namespace telpod
