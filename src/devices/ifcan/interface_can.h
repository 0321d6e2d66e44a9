#pragma once

#include <cstdint>
#include <string>

#include "abi/ifcan_abi.h"
#include "model/array_fill.h"
#include "model/store_field.h"

namespace telpod {

// The Interface board library's constants under the maker's names
// (CAN_BAUDRATE_125k() is 1338; statuses as signed 32-bit numbers, so
// IFCAN_ERROR_USB_TIMEOUT() is 0xC000000D read as negative) and the texts
// of its status codes.
class InterfaceCAN : public ArrayFill {
 public:
  InterfaceCAN() { Param_ALL_Clear(); }

  // Every constant back to its published value.
  void Param_ALL_Clear();

  // The English text of a status; empty for success and unknown codes.
  std::string Get_Status_Message(int32_t status) const;

#define TELPOD_IFCAN_STATUS_FIELD(name, value, text) TELPOD_STORE_FIELD(int32_t, name)
  TELPOD_IFCAN_STATUS_CODES(TELPOD_IFCAN_STATUS_FIELD)
#undef TELPOD_IFCAN_STATUS_FIELD

#define TELPOD_IFCAN_NUMBER_FIELD(name, value) TELPOD_STORE_FIELD(int32_t, name)
  TELPOD_IFCAN_CONSTANTS(TELPOD_IFCAN_NUMBER_FIELD)
#undef TELPOD_IFCAN_NUMBER_FIELD
};

}  // namespace telpod
