#include "devices/kvaser/kvaser_device_info.h"

#include <cstdio>
#include <string_view>

#include "platform/translation.h"

namespace telpod {

namespace {

uint32_t HexValue(std::string_view digits) {
  uint32_t value = 0;
  for (const char c : digits) {
    const uint32_t digit = c <= '9' ? uint32_t(c - '0') : uint32_t(c - 'A' + 10);
    value = value << 4 | digit;
  }
  return value;
}

// Hexadecimal digits read as a signed 32-bit number, written in decimal.
std::string SignedDecimal(std::string_view digits) {
  return std::to_string(static_cast<int32_t>(HexValue(digits)));
}

std::string Hex(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
  return text;
}

}  // namespace

std::string HexDigits16(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%08X%08X", static_cast<unsigned>(value >> 32),
                static_cast<unsigned>(value & 0xFFFFFFFFu));
  return text;
}

std::string Kvaser_Info_Text(uint64_t serial, uint64_t firmware, uint64_t upc) {
  const std::string x = HexDigits16(upc);
  const std::string_view u(x);
  // The first five digits pass through a number, which drops their leading
  // zeros: "00073" -> "73".
  const std::string part_number = Hex(HexValue(u.substr(0, 5))) + "-" +
                                  std::string(u.substr(5, 5)) + "-" + std::string(u.substr(10, 5)) +
                                  "-" + std::string(u.substr(15, 1));
  const auto serial_low = static_cast<int32_t>(static_cast<uint32_t>(serial));
  const std::string f = HexDigits16(firmware);
  const std::string_view fw(f);
  const std::string firmware_version = SignedDecimal(fw.substr(0, 4)) + "." +
                                       SignedDecimal(fw.substr(4, 4)) + "." +
                                       SignedDecimal(fw.substr(8, 8));
  return platform::Tr(TELPOD_TEXT("DeviceInfo", "P/N：%1  S/N：%2  FW：%3"),
                      {part_number, std::to_string(serial_low), firmware_version});
}

SelectedDeviceInfo Probe_Kvaser_Info(KvaserCAN& kvCan_u, CAN_DB_Kvaser& kvCan_d,
                                     CanlibDriver& driver) {
  const int channel = kvCan_d.Kvaser_DevChannel(static_cast<int16_t>(kvCan_d.KvCAN_SelectNo() - 1));
  uint64_t serial = 0, firmware = 0, upc = 0;
  driver.ChannelNumber(channel, kvCan_u.canCHANNELDATA_CARD_SERIAL_NO(), serial);
  driver.ChannelNumber(channel, kvCan_u.canCHANNELDATA_CARD_FIRMWARE_REV(), firmware);
  driver.ChannelNumber(channel, kvCan_u.canCHANNELDATA_CARD_UPC_NO(), upc);
  return {1, Kvaser_Info_Text(serial, firmware, upc)};
}

}  // namespace telpod
