#include "model/row_sending.h"

#include <algorithm>

#include "model/can_frame.h"

namespace telpod {

int16_t LastRow(const CAN_SendDB& SendDB) {
  return static_cast<int16_t>(std::min<int32_t>(SendDB.CAN_Array_MAX(), CAN_SendDB::kRows - 1));
}

bool FitsItsFormat(const CAN_SendDB& SendDB, int16_t i) {
  return IdFitsFormat(FrameOfRow(SendDB, i));
}

bool SendsPeriodically(const CAN_SendDB& SendDB, int16_t i) {
  return SendDB.CAN_SendCycleOperation(i) == 1 && FitsItsFormat(SendDB, i);
}

}  // namespace telpod
