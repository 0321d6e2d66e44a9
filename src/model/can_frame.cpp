#include "model/can_frame.h"

#include <algorithm>
#include <cstdio>

namespace telpod {

namespace {

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

}  // namespace

CanFrame FrameOfRow(const CAN_SendDB& SendDB, int16_t i) {
  CanFrame frame;
  frame.id = static_cast<uint32_t>(SendDB.CAN_ID(i));
  frame.extended = SendDB.CAN_Send29(i) == 1;
  frame.dlc = SendDB.CAN_DLC(i);
  frame.data = SendDB.DataBytes(i);
  return frame;
}

bool IdFitsFormat(const CanFrame& frame) {
  return frame.id <= CanFrame::MaxId(frame.extended);
}

std::string CandumpText(const CanFrame& frame) {
  std::string text = Hex(frame.id, frame.extended ? 8 : 3) + '#';
  const int length = std::min<int>(frame.dlc, CanFrame::kMaxData);
  if (frame.remote) {
    // "123#R", with the length as one digit when it is not 0: "123#R4".
    text += 'R';
    if (length > 0) text += Hex(static_cast<uint32_t>(length), 1);
    return text;
  }
  for (int n = 0; n < length; ++n) text += Hex(frame.data[static_cast<size_t>(n)], 2);
  return text;
}

}  // namespace telpod
