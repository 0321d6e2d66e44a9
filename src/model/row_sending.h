#pragma once

#include <cstdint>

#include "model/can_senddb.h"

namespace telpod {

// Which rows the send loop puts on the bus, for the loop itself and for
// whoever tells the user what it will send.

// The last row the loop visits: CAN_Array_MAX, never beyond the eight rows.
int16_t LastRow(const CAN_SendDB& SendDB);

// The one rule for every step of the loop and every caller: row i's frame
// can carry its identifier (a standard row above 0x7FF cannot). Such a row
// is never written.
bool FitsItsFormat(const CAN_SendDB& SendDB, int16_t i);

// Row i goes out at its period: its switch is exactly 1 and it fits its
// format.
bool SendsPeriodically(const CAN_SendDB& SendDB, int16_t i);

}  // namespace telpod
