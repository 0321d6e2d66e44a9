#pragma once

#include <cstdint>
#include <string>

#include "devices/kvaser/can_db_kvaser.h"
#include "devices/kvaser/canlib_driver.h"
#include "devices/kvaser/kvaser_can.h"
#include "devices/selected_device_info.h"

namespace telpod {

// An 8-byte channel value as 16 upper-case hex digits: the high 32-bit
// word, then the low one, each padded to 8 digits.
std::string HexDigits16(uint64_t value);

// "P/N：73-30130-00432-1  S/N：12345  FW：3.4.291" from the card's serial
// number, firmware revision and UPC number.
std::string Kvaser_Info_Text(uint64_t serial, uint64_t firmware, uint64_t upc);

// Reads the three values of the chosen channel (KvCAN_SelectNo) and builds
// its information line; result 1.
SelectedDeviceInfo Probe_Kvaser_Info(KvaserCAN& kvCan_u, CAN_DB_Kvaser& kvCan_d,
                                     CanlibDriver& driver);

}  // namespace telpod
