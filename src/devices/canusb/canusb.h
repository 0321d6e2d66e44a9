#pragma once

#include <cstdint>
#include <string>

#include "abi/canusb_abi.h"
#include "model/array_fill.h"
#include "model/store_field.h"

namespace telpod {

// The CANUSB adapter's fixed parameters: the bit-rate texts canusb_Open
// takes and the library's constants under the maker's names
// (CAN_BAUD_500K() is "500", CANUSB_FLAG_TIMESTAMP() is 1).
class CANUSB : public ArrayFill {
 public:
  CANUSB() { Param_ALL_Clear(); }

  // Every constant back to its published value.
  void Param_ALL_Clear();

#define TELPOD_CANUSB_TEXT_FIELD(name, text) TELPOD_STORE_FIELD(std::string, name)
  TELPOD_CANUSB_BITRATES(TELPOD_CANUSB_TEXT_FIELD)
#undef TELPOD_CANUSB_TEXT_FIELD

#define TELPOD_CANUSB_NUMBER_FIELD(name, value) TELPOD_STORE_FIELD(int32_t, name)
  TELPOD_CANUSB_CONSTANTS(TELPOD_CANUSB_NUMBER_FIELD)
#undef TELPOD_CANUSB_NUMBER_FIELD
};

// The canusb_Open text of a bit-rate index ("125" for 8); empty for an index
// outside 0..8, which no adapter opens with.
std::string CanusbBitRateText(const CANUSB& CAN_u, int32_t t_bitRate);

}  // namespace telpod
