#pragma once

#include <cstdint>
#include <string>

#include "model/array_fill.h"
#include "model/store_field.h"

namespace telpod {

// Catalogue of the Interface boards found at start-up. Entry i (from 1)
// belongs to the i-th board found: its port number and the nine words of
// its port information record.
class CAN_DB_Interface : public ArrayFill {
 public:
  static constexpr int16_t kSlots = 256;  // index 0..255
  static constexpr int32_t kCapacity = 255;

  CAN_DB_Interface() { Param_ALL_Clear(); }

  // Count 0, capacity 255, no selection, handle "0", every array zeroed.
  void Param_ALL_Clear();

  TELPOD_STORE_FIELD(int32_t, Interface_CAN_FindCount)
  TELPOD_STORE_FIELD(int32_t, Interface_CAN_FindCount_MAX)
  TELPOD_STORE_FIELD(int32_t, Interface_CAN_SelectNo)
  TELPOD_STORE_FIELD(std::string, Interface_CAN_Handle)
  TELPOD_INDEXED_FIELD(int32_t, Interface_CAN_FindNo, kSlots)
  TELPOD_INDEXED_FIELD(int32_t, IfCAN_info_ulStructLength, kSlots)
  TELPOD_INDEXED_FIELD(int32_t, IfCAN_info_ulVendorID, kSlots)
  TELPOD_INDEXED_FIELD(int32_t, IfCAN_info_ulDeviceID, kSlots)
  TELPOD_INDEXED_FIELD(int32_t, IfCAN_info_ulSubsystemID, kSlots)
  TELPOD_INDEXED_FIELD(int32_t, IfCAN_info_ulRevisionID, kSlots)
  TELPOD_INDEXED_FIELD(int32_t, IfCAN_info_ulBoardID, kSlots)
  TELPOD_INDEXED_FIELD(int32_t, IfCAN_info_ulModelNumber, kSlots)
  TELPOD_INDEXED_FIELD(int32_t, IfCAN_info_ulChannelNumber, kSlots)
  TELPOD_INDEXED_FIELD(int32_t, IfCAN_info_ulPhysicalLayer, kSlots)

 public:
  // Stores a port information record (nine words in record order) at `i`.
  void StoreInformation(int16_t i, const std::array<uint32_t, 9>& words);
};

}  // namespace telpod
