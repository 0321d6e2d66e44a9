#pragma once

#include <cstdint>

#include "abi/canlib_abi.h"
#include "model/array_fill.h"
#include "model/store_field.h"

namespace telpod {

// CANlib's published constants under their CANlib names
// (canBITRATE_125K() is -4, canMSG_EXT() is 4).
class KvaserCAN : public ArrayFill {
 public:
  KvaserCAN() { Param_ALL_Clear(); }

  // Every constant back to its published value.
  void Param_ALL_Clear();

#define TELPOD_CANLIB_NUMBER_FIELD(name, value) TELPOD_STORE_FIELD(int32_t, name)
  TELPOD_CANLIB_CONSTANTS(TELPOD_CANLIB_NUMBER_FIELD)
#undef TELPOD_CANLIB_NUMBER_FIELD
};

}  // namespace telpod
