#pragma once

#include <linux/can.h>

#include <cstdint>
#include <optional>

#include "model/can_senddb.h"

namespace telpod {

// The frame of row i: CAN_EFF_FLAG with the identifier for a 29-bit row,
// the plain identifier otherwise, the stored DLC as it is (the kernel
// refuses one above 8) and all eight data bytes. nullopt when the
// identifier does not fit its format (an 11-bit row above 0x7FF): cutting
// it down would put another identifier on the bus.
std::optional<can_frame> SocketCAN_Frame(const CAN_SendDB& SendDB, int16_t i);

}  // namespace telpod
