#include "devices/socketcan/can_db_socketcan.h"

namespace telpod {

void CAN_DB_SocketCAN::Param_ALL_Clear() {
  SocketCAN_FindCount_ = 0;
  SocketCAN_FindCount_MAX_ = kCapacity;
  SocketCAN_SelectNo_ = 0;
  SocketCAN_Handle_ = -1;
  Arayy_ALL_Clear_zero_string(kCapacity, "", SocketCAN_IfName_);
}

std::string CAN_DB_SocketCAN::SocketCAN_IfName(int16_t i) const {
  return InRange(i) ? SocketCAN_IfName_[static_cast<size_t>(i)] : std::string();
}

void CAN_DB_SocketCAN::set_SocketCAN_IfName(int16_t i, std::string v) {
  if (InRange(i)) SocketCAN_IfName_[static_cast<size_t>(i)] = std::move(v);
}

}  // namespace telpod
