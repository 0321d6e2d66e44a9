#pragma once

#include "devices/canusb/can_db.h"
#include "devices/canusb/canusb_driver.h"
#include "model/elm327_info.h"
#include "platform/window_services.h"

namespace telpod {

// Lists the adapters the library reports, in its order, into CAN_d: a
// report counts when its result is positive and its serial number has at
// least seven characters; the first report that does not ends the search,
// and so do a full catalogue and the number of adapters the first report's
// result gives. No adapter is opened.
void Find_CANUSB_Adapters(ELM327_Info& device, CAN_DB& CAN_d, CanusbDriver& driver,
                          platform::EventPump& pump);

}  // namespace telpod
