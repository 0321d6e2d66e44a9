#pragma once

#include <cstdint>

#include "model/can_senddb.h"

namespace telpod {

// Which rows the send loop puts on the bus, for the loop itself and for
// whoever tells the user what it will send.

// The largest identifier a standard (11-bit) frame carries.
inline constexpr int32_t kMaxStandardId = 0x7FF;

// The last row the loop visits: CAN_Array_MAX, never beyond the eight rows.
int16_t LastRow(const CAN_SendDB& SendDB);

// Row i can become a frame: extended (CAN_Send29 exactly 1, as its frame is
// made), or a standard identifier within 11 bits.
bool FitsItsFormat(const CAN_SendDB& SendDB, int16_t i);

// Row i goes out at its period: its switch is exactly 1 and it fits its
// format.
bool SendsPeriodically(const CAN_SendDB& SendDB, int16_t i);

}  // namespace telpod
