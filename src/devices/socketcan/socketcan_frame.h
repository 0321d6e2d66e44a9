#pragma once

#include <linux/can.h>

#include <cstdint>
#include <optional>

#include "model/can_frame.h"

namespace telpod {

// The kernel's frame: CAN_EFF_FLAG with the identifier for an extended
// frame, the plain identifier otherwise, CAN_RTR_FLAG for a remote frame,
// the DLC as it is (the kernel refuses one above 8) and all eight data
// bytes. nullopt when the identifier does not fit its format (a standard
// frame above 0x7FF): cutting it down would put another identifier on the
// bus.
std::optional<can_frame> SocketCAN_Frame(const CanFrame& frame);

}  // namespace telpod
