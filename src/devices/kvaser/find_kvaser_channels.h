#pragma once

#include "devices/kvaser/can_db_kvaser.h"
#include "devices/kvaser/canlib_driver.h"
#include "devices/kvaser/kvaser_can.h"
#include "model/elm327_info.h"
#include "platform/window_services.h"

namespace telpod {

// Initialises CANlib and lists the channels it can open with init access,
// from channel 0 up, at most 30 examined: each with its handle, channel
// number and name (empty when unreadable). A channel another program holds
// is skipped. Every channel opened here is taken off the bus and closed
// before returning.
void Find_Kvaser_Channels(ELM327_Info& device, KvaserCAN& kvCan_u, CAN_DB_Kvaser& kvCan_d,
                          CanlibDriver& driver, platform::EventPump& pump);

}  // namespace telpod
