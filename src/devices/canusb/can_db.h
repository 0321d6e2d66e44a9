#pragma once

#include <cstdint>
#include <string>

#include "model/array_fill.h"
#include "model/store_field.h"

namespace telpod {

// Catalogue of the CANUSB adapters found at start-up. Serial numbers are
// kept from index 1; index 0 stays unused.
class CAN_DB : public ArrayFill {
 public:
  static constexpr int16_t kSerialSlots = 31;  // index 0..30
  static constexpr int32_t kCapacity = 30;

  CAN_DB() { Param_ALL_Clear(); }

  // Count 0, capacity 30, no selection, handle 0, every serial empty.
  void Param_ALL_Clear();

  TELPOD_STORE_FIELD(int32_t, CAN_USB_FindCount)
  TELPOD_STORE_FIELD(int32_t, CAN_USB_FindCount_MAX)
  TELPOD_STORE_FIELD(int32_t, CAN_USB_SelectNo)
  TELPOD_STORE_FIELD(std::string, CAN_USB_SelectSerial)
  TELPOD_STORE_FIELD(int32_t, CAN_USB_Handle)
  TELPOD_STORE_FIELD(std::string, CAN_USB_Version)
  TELPOD_INDEXED_FIELD(std::string, CAN_USB_FindSerialNo, kSerialSlots)
};

}  // namespace telpod
