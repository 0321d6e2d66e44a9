#include "devices/canusb/can_db.h"

namespace telpod {

void CAN_DB::Param_ALL_Clear() {
  set_CAN_USB_FindCount(0);
  set_CAN_USB_FindCount_MAX(kCapacity);
  set_CAN_USB_SelectNo(0);
  set_CAN_USB_SelectSerial("");
  set_CAN_USB_Handle(0);
  set_CAN_USB_Version("");
  Arayy_ALL_Clear_zero_string(kSerialSlots - 1, "", CAN_USB_FindSerialNo_);
}

}  // namespace telpod
