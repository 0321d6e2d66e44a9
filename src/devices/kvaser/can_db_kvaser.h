#pragma once

#include <cstdint>
#include <string>

#include "model/array_fill.h"
#include "model/store_field.h"

namespace telpod {

// Catalogue of the Kvaser channels found at start-up, filled from index 0:
// the i-th channel found is at i - 1.
class CAN_DB_Kvaser : public ArrayFill {
 public:
  static constexpr int16_t kSlots = 31;  // index 0..30
  static constexpr int32_t kCapacity = 30;

  CAN_DB_Kvaser() { Param_ALL_Clear(); }

  // Count 0, capacity 30, no selection, handle "0", the arrays cleared.
  void Param_ALL_Clear();

  TELPOD_STORE_FIELD(int32_t, Kvaser_FindCount)
  TELPOD_STORE_FIELD(int32_t, Kvaser_FindCount_MAX)
  TELPOD_STORE_FIELD(int32_t, KvCAN_SelectNo)
  TELPOD_STORE_FIELD(std::string, KvCAN_Handle)
  TELPOD_INDEXED_FIELD(int32_t, Kvaser_DevHandle, kSlots)
  TELPOD_INDEXED_FIELD(int32_t, Kvaser_DevChannel, kSlots)
  TELPOD_INDEXED_FIELD(std::string, Kvaser_DevdName, kSlots)
};

}  // namespace telpod
