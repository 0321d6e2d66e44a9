#pragma once

#include "devices/ifcan/can_db_interface.h"
#include "devices/ifcan/ifcan_driver.h"
#include "devices/ifcan/interface_can.h"
#include "model/elm327_info.h"
#include "platform/window_services.h"

namespace telpod {

// Tries ports 1..255 in order: every port that opens is listed with its
// port number and, when it can be read, its information record (zeros
// otherwise). Each port is closed again with the handle its open returned,
// whether or not it opened.
void Find_Interface_Boards(ELM327_Info& device, InterfaceCAN& IfCan_u, CAN_DB_Interface& IfCan_d,
                           IfCanDriver& driver, platform::EventPump& pump);

}  // namespace telpod
