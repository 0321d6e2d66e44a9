#pragma once

#include <cstdint>
#include <string>

#include "devices/socketcan/can_db_socketcan.h"
#include "devices/socketcan/socketcan_system.h"
#include "platform/window_services.h"

namespace telpod {

// True when the kernel offers raw CAN sockets. Never throws.
bool Check_SocketCAN_Driver(SocketCanSystem& system);

// Fills the catalogue with the CAN interfaces of the kernel, at most
// SocketCAN_FindCount_MAX of them, letting window events run after each.
// Finds nothing where the kernel has no raw CAN sockets. Never throws.
void Find_SocketCAN_Interfaces(CAN_DB_SocketCAN& db, SocketCanSystem& system,
                               platform::EventPump& pump);

// Device-list entry of catalogue item i: "SocketCAN " + interface name.
std::string SocketCAN_EntryText(const CAN_DB_SocketCAN& db, int16_t i);

// How iproute2 names a controller state: "ERROR-ACTIVE", "BUS-OFF", ...
std::string SocketCAN_StateText(int32_t state);

// Information line of the chosen interface (SocketCAN_SelectNo): name,
// driver, then state and bit rate when the kernel reports them, e.g.
// "SocketCAN vcan0 vcan" or "SocketCAN can0 gs_usb ERROR-ACTIVE 500000 bit/s".
// Empty when nothing is chosen. Never throws.
std::string SocketCAN_InfoLine(SocketCanSystem& system, const CAN_DB_SocketCAN& db);

}  // namespace telpod
