#include "send/send_loop.h"

#include <algorithm>

namespace telpod {

void SendLoop::StampLastVisit() {
  LastVisit_.fill(clock_.Now());
}

void SendLoop::Run() {
  while (RxFlag_ == 1) Pass();
}

void SendLoop::Pass() {
  // The table's row count is re-read before every row; it never exceeds the
  // eight rows the table has.
  for (int16_t i = 0; i <= std::min(SendDB_.CAN_Array_MAX(), CAN_SendDB::kRows - 1); ++i) {
    OneShotStep(i);
    const double now = clock_.Now();
    if (SendDB_.CAN_SendCycleOperation(i) == 1 && FitsItsFormat(i)) PeriodicStep(i, now);
    LastVisit_[static_cast<size_t>(i)] = now;
  }
  pump_.DoEvents();
}

void SendLoop::OneShotStep(int16_t i) {
  const int32_t request = SendDB_.CAN_SendOperation(i);
  const uint8_t extended = SendDB_.CAN_Send29(i);
  const int32_t id = SendDB_.CAN_ID(i);
  if (request == 1 && (extended == 1 || (extended == 0 && id <= kMaxStandardId))) {
    writer_.WriteRow(SendDB_, i);
    SendDB_.set_CAN_SendOperation(i, 0);
  } else if (extended == 0 && id > kMaxStandardId) {
    // An 11-bit row cannot carry this identifier: the request is dropped.
    SendDB_.set_CAN_SendOperation(i, 0);
  }
}

bool SendLoop::FitsItsFormat(int16_t i) const {
  return SendDB_.CAN_Send29(i) == 1 || SendDB_.CAN_ID(i) <= kMaxStandardId;
}

void SendLoop::PeriodicStep(int16_t i, double now) {
  // Accumulate the time since the last visit; a send resets the sum to zero
  // and discards the excess, so frames are never closer than the period and
  // a late frame is not caught up.
  const double accumulated = SendDB_.CAN_SendTime(i) + now - LastVisit_[static_cast<size_t>(i)];
  SendDB_.set_CAN_SendTime(i, accumulated);
  if (accumulated >= SendDB_.CAN_SendCycleTime(i)) {
    writer_.WriteRow(SendDB_, i);
    SendDB_.set_CAN_SendTime(i, 0.0);
  }
}

}  // namespace telpod
