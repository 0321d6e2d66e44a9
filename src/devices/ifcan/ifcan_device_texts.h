#pragma once

#include <cstdint>
#include <string>

#include "devices/ifcan/can_db_interface.h"

namespace telpod {

// Device-list entry of board i: "Interface PCI-485120 port:2".
std::string Interface_Entry_Text(const CAN_DB_Interface& IfCan_d, int16_t i);

// Information line of board i:
// "Interface PCI-485120 RevID:1 ch:1 高速CAN対応" (the last part only for a
// high-speed physical layer).
std::string Interface_Info_Text(const CAN_DB_Interface& IfCan_d, int16_t i);

}  // namespace telpod
