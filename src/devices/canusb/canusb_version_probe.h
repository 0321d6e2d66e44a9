#pragma once

#include <cstdint>

#include "devices/canusb/can_db.h"
#include "devices/canusb/canusb.h"
#include "devices/canusb/canusb_driver.h"
#include "devices/selected_device_info.h"

namespace telpod {

// The information line of the chosen adapter (CAN_USB_SelectNo): opens it
// at the common settings' rate `t_bitRate`, the one the next Connect uses,
// reads its version text ("???" when the library has none) and closes it
// again; the result is the close result. The library reads the version only
// from an open adapter, and an adapter opened at another rate than its bus
// runs at would disturb that bus with error frames. An adapter that does
// not open, or an index that names no rate (the adapter is then not
// opened), leaves the text box alone and gives 0.
SelectedDeviceInfo Probe_CANUSB_Version(int32_t t_bitRate, CANUSB& CAN_u, CAN_DB& CAN_d,
                                        CanusbDriver& driver);

}  // namespace telpod
