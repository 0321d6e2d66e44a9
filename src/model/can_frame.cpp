#include "model/can_frame.h"

namespace telpod {

CanFrame FrameOfRow(const CAN_SendDB& SendDB, int16_t i) {
  CanFrame frame;
  frame.id = static_cast<uint32_t>(SendDB.CAN_ID(i));
  frame.extended = SendDB.CAN_Send29(i) == 1;
  frame.dlc = SendDB.CAN_DLC(i);
  frame.data = SendDB.DataBytes(i);
  return frame;
}

bool IdFitsFormat(const CanFrame& frame) {
  return frame.id <= (frame.extended ? CanFrame::kMaxExtendedId : CanFrame::kMaxStandardId);
}

}  // namespace telpod
