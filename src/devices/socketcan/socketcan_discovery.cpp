#include "devices/socketcan/socketcan_discovery.h"

#include <linux/can/netlink.h>

namespace telpod {

bool Check_SocketCAN_Driver(SocketCanSystem& system) {
  try {
    return system.RawSocketsOffered();
  } catch (...) {
    return false;
  }
}

void Find_SocketCAN_Interfaces(CAN_DB_SocketCAN& db, SocketCanSystem& system,
                               platform::EventPump& pump) {
  try {
    if (!system.RawSocketsOffered()) return;
    for (const std::string& name : system.CanInterfaces()) {
      const int32_t m = db.SocketCAN_FindCount();
      if (m >= db.SocketCAN_FindCount_MAX() || m >= CAN_DB_SocketCAN::kCapacity) break;
      db.set_SocketCAN_IfName(static_cast<int16_t>(m + 1), name);
      pump.DoEvents();
      db.set_SocketCAN_FindCount(m + 1);
    }
  } catch (...) {
    // What was found so far stays in the catalogue.
  }
}

std::string SocketCAN_EntryText(const CAN_DB_SocketCAN& db, int16_t i) {
  return "SocketCAN " + db.SocketCAN_IfName(i);
}

std::string SocketCAN_StateText(int32_t state) {
  switch (state) {
    case CAN_STATE_ERROR_ACTIVE:
      return "ERROR-ACTIVE";
    case CAN_STATE_ERROR_WARNING:
      return "ERROR-WARNING";
    case CAN_STATE_ERROR_PASSIVE:
      return "ERROR-PASSIVE";
    case CAN_STATE_BUS_OFF:
      return "BUS-OFF";
    case CAN_STATE_STOPPED:
      return "STOPPED";
    case CAN_STATE_SLEEPING:
      return "SLEEPING";
    default:
      return "STATE-" + std::to_string(state);
  }
}

std::string SocketCAN_InfoLine(SocketCanSystem& system, const CAN_DB_SocketCAN& db) {
  try {
    const int32_t selected = db.SocketCAN_SelectNo();
    if (selected < 1 || selected > db.SocketCAN_FindCount()) return "";
    const std::string name = db.SocketCAN_IfName(static_cast<int16_t>(selected));
    if (name.empty()) return "";
    const SocketCanLink link = system.Describe(name);
    std::string line = "SocketCAN " + name;
    const std::string& kind = link.driver.empty() ? link.kind : link.driver;
    if (!kind.empty()) line.append(" ").append(kind);
    if (link.state) line.append(" ").append(SocketCAN_StateText(*link.state));
    if (link.bitrate) line.append(" ").append(std::to_string(*link.bitrate)).append(" bit/s");
    return line;
  } catch (...) {
    return "";
  }
}

}  // namespace telpod
