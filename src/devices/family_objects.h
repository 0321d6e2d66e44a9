#pragma once

#include "devices/canusb/can_db.h"
#include "devices/canusb/canusb.h"
#include "devices/ifcan/can_db_interface.h"
#include "devices/ifcan/interface_can.h"
#include "devices/kvaser/can_db_kvaser.h"
#include "devices/kvaser/kvaser_can.h"
#include "devices/socketcan/can_db_socketcan.h"

namespace telpod {

// The settings objects and catalogues the window keeps under their own
// names, which start-up fills and each connection borrows; the program
// keeps them for its whole run. A family added later keeps its own in its
// DeviceFamily.
struct FamilyObjects {
  CANUSB CAN_u;
  CAN_DB CAN_d;
  InterfaceCAN IfCan_u;
  CAN_DB_Interface IfCan_d;
  KvaserCAN kvCan_u;
  CAN_DB_Kvaser kvCan_d;
  CAN_DB_SocketCAN sockCan_d;
};

}  // namespace telpod
