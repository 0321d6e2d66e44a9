#include "devices/socketcan/socketcan_frame.h"

namespace telpod {

std::optional<can_frame> SocketCAN_Frame(const CAN_SendDB& SendDB, int16_t i) {
  const bool extended = SendDB.CAN_Send29(i) == 1;
  const int32_t id = SendDB.CAN_ID(i);
  const canid_t mask = extended ? CAN_EFF_MASK : CAN_SFF_MASK;
  if (id < 0 || (static_cast<canid_t>(id) & ~mask) != 0) return std::nullopt;

  can_frame frame{};
  frame.can_id = static_cast<canid_t>(id) | (extended ? CAN_EFF_FLAG : 0);
  frame.len = SendDB.CAN_DLC(i);
  const auto data = SendDB.DataBytes(i);
  for (size_t n = 0; n < data.size(); ++n) frame.data[n] = data[n];
  return frame;
}

}  // namespace telpod
