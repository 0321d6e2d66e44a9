#include "devices/socketcan/socketcan_frame.h"

#include <algorithm>

namespace telpod {

std::optional<can_frame> SocketCAN_Frame(const CanFrame& frame) {
  const canid_t mask = frame.extended ? CAN_EFF_MASK : CAN_SFF_MASK;
  if ((frame.id & ~mask) != 0) return std::nullopt;

  can_frame kernel_frame{};
  kernel_frame.can_id =
      frame.id | (frame.extended ? CAN_EFF_FLAG : 0u) | (frame.remote ? CAN_RTR_FLAG : 0u);
  kernel_frame.len = frame.dlc;
  std::copy(frame.data.begin(), frame.data.end(), kernel_frame.data);
  return kernel_frame;
}

}  // namespace telpod
