#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "devices/canusb/can_db.h"
#include "devices/canusb/canusb.h"
#include "devices/device_family.h"
#include "devices/driver_set.h"
#include "devices/family_set.h"
#include "devices/ifcan/can_db_interface.h"
#include "devices/ifcan/interface_can.h"
#include "devices/kvaser/can_db_kvaser.h"
#include "devices/kvaser/kvaser_can.h"
#include "devices/socketcan/can_db_socketcan.h"
#include "devices/socketcan/socketcan_system.h"
#include "model/can_senddb.h"
#include "model/elm327_info.h"
#include "model/row_rule.h"
#include "platform/window_services.h"
#include "send/connection_skeleton.h"

namespace telpod {

// The connection routines. Each opens the chosen device of its family, runs
// the send loop until RxFlag leaves 1, closes the device and returns; RxFlag
// is 0 on every way out, and no exception leaves them. Every connection
// gets the same `extras`.
class FormBG {
 public:
  FormBG(int32_t& RxFlag, Clock& clock, ConnectionView& view, platform::MessageBoxes& messages,
         platform::EventPump& pump, const DriverSet& drivers, ConnectionExtras extras = {});

  // Connect's dispatch: RxFlag to 1, then a connection over the chosen
  // device of the family t_select_Vender names. Returns the text the status
  // box keeps afterwards (the family's word on the connection's result,
  // mostly empty), or nullopt when no family is chosen and nothing started.
  std::optional<std::string> Open_ChosenDevice(FamilySet& families, CAN_SendDB& SendDB);
  // A connection over `family`'s chosen device; the connection's result.
  int32_t ConnectFamily(ELM327_Info& device, DeviceFamily& family, CAN_SendDB& SendDB) noexcept;

  // Over the adapter CAN_USB_SelectSerial.
  void Open_CANUSB(ELM327_Info& device, CANUSB& CAN_u, CAN_DB& CAN_d, CAN_SendDB& SendDB);
  // Over the board Interface_CAN_SelectNo; returns the status of the last
  // CanClosePort (0 when the rate is not offered).
  int32_t Open_InterfaceCAN(ELM327_Info& device, InterfaceCAN& IfCan_u, CAN_DB_Interface& IfCan_d,
                            CAN_SendDB& SendDB);
  // Over the channel Kvaser_DevChannel(KvCAN_SelectNo - 1).
  void Open_KvaserCAN(ELM327_Info& device, KvaserCAN& kvCan_u, CAN_DB_Kvaser& kvCan_d,
                      CAN_SendDB& SendDB);
  // Over the kernel's CAN interface SocketCAN_SelectNo.
  void Open_SocketCAN(ELM327_Info& device, CAN_DB_SocketCAN& sockCan_d, SocketCanSystem& socketcan,
                      CAN_SendDB& SendDB);

 private:
  int32_t& RxFlag_;
  Clock& clock_;
  ConnectionView& view_;
  platform::MessageBoxes& messages_;
  platform::EventPump& pump_;
  const DriverSet& drivers_;
  ConnectionExtras extras_;
};

}  // namespace telpod
