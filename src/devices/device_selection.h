#pragma once

#include <string>
#include <vector>

#include "devices/canusb/can_db.h"
#include "devices/canusb/canusb.h"
#include "devices/driver_set.h"
#include "devices/family_objects.h"
#include "devices/ifcan/can_db_interface.h"
#include "devices/ifcan/interface_can.h"
#include "devices/kvaser/can_db_kvaser.h"
#include "devices/kvaser/kvaser_can.h"
#include "devices/selected_device_info.h"
#include "devices/socketcan/can_db_socketcan.h"
#include "devices/socketcan/socketcan_system.h"
#include "model/elm327_info.h"

namespace telpod {

// Resolves the device list's position t_CmbBOX_device_SelectNo to a family
// (t_select_Vender: 1 CANUSB, 2 Interface board, 3 Kvaser, 0 none) and that
// family's catalogue selection, then reads the chosen device's information
// line. A position outside the list resolves to no family: result 0, the
// text box left alone. Errors are trapped here. The SocketCAN interfaces
// (family 4), when given, follow the Kvaser channels.
SelectedDeviceInfo Show_SelectedDevice_Info(ELM327_Info& device, CANUSB& CAN_u, CAN_DB& CAN_d,
                                            InterfaceCAN& IfCan_u, CAN_DB_Interface& IfCan_d,
                                            KvaserCAN& kvCan_u, CAN_DB_Kvaser& kvCan_d,
                                            DriverSet& drivers,
                                            CAN_DB_SocketCAN* sockCan_d = nullptr,
                                            SocketCanSystem* socketcan = nullptr);

// The same over the families' objects.
inline SelectedDeviceInfo Show_SelectedDevice_Info(ELM327_Info& device, FamilyObjects& f,
                                                   DriverSet& drivers, SocketCanSystem& socketcan) {
  return Show_SelectedDevice_Info(device, f.CAN_u, f.CAN_d, f.IfCan_u, f.IfCan_d, f.kvCan_u,
                                  f.kvCan_d, drivers, &f.sockCan_d, &socketcan);
}

// The device list's entries in order: the CANUSB adapters ("CANUSB " +
// serial number), the Interface boards ("Interface <model> port:<n>"), then
// the Kvaser channels (their names), then the SocketCAN interfaces when given
// ("SocketCAN " + interface name).
std::vector<std::string> Device_List_Entries(const CAN_DB& CAN_d, const CAN_DB_Interface& IfCan_d,
                                             const CAN_DB_Kvaser& kvCan_d,
                                             const CAN_DB_SocketCAN* sockCan_d = nullptr);

}  // namespace telpod
