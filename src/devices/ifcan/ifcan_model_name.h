#pragma once

#include <cstdint>
#include <string>

namespace telpod {

// The board's model name from its PCI device and subsystem IDs
// (0x12F3/0x3894 -> "PCI-485120"); empty for a pair not in the table.
std::string Get_IFCan_ModelName(int32_t deviceId, int32_t subsystemId);

}  // namespace telpod
