#pragma once

#include "devices/canusb/can_db.h"
#include "devices/canusb/canusb.h"
#include "devices/canusb/canusb_driver.h"
#include "devices/selected_device_info.h"

namespace telpod {

// The information line of the chosen adapter (CAN_USB_SelectNo): opens it
// at 500 kbit/s, reads its version text ("???" when the library has none)
// and closes it again; the result is the close result. An adapter that
// does not open leaves the text box alone and gives 0.
SelectedDeviceInfo Probe_CANUSB_Version(CANUSB& CAN_u, CAN_DB& CAN_d, CanusbDriver& driver);

}  // namespace telpod
