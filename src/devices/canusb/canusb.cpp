#include "devices/canusb/canusb.h"

#include <array>

#include "devices/rate_table.h"

namespace telpod {

namespace {

// The bit-rate text of each index 0..8.
constexpr std::array<FieldGet<std::string> (CANUSB::*)() const, 9> kBitRateTexts{
    &CANUSB::CAN_BAUD_1M,   &CANUSB::CAN_BAUD_800K, &CANUSB::CAN_BAUD_500K,
    &CANUSB::CAN_BAUD_250K, &CANUSB::CAN_BAUD_100K, &CANUSB::CAN_BAUD_50K,
    &CANUSB::CAN_BAUD_20K,  &CANUSB::CAN_BAUD_10K,  &CANUSB::CAN_BAUD_125K};

}  // namespace

void CANUSB::Param_ALL_Clear() {
#define TELPOD_CANUSB_RESET(name, value) set_##name(value);
  TELPOD_CANUSB_BITRATES(TELPOD_CANUSB_RESET)
  TELPOD_CANUSB_CONSTANTS(TELPOD_CANUSB_RESET)
#undef TELPOD_CANUSB_RESET
}

std::string CanusbBitRateText(const CANUSB& CAN_u, int32_t t_bitRate) {
  const auto rate = RateOf(kBitRateTexts, t_bitRate);
  return rate ? (CAN_u.*rate)() : std::string();
}

}  // namespace telpod
