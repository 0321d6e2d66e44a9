#include "send/send_loop.h"

#include <algorithm>
#include <limits>

#include "model/row_sending.h"

namespace telpod {

void SendLoop::StampLastVisit() {
  LastVisit_.fill(clock_.Now());
}

void SendLoop::Run() {
  while (RxFlag_ == 1) {
    Pass();
    if (RxFlag_ == 1) WaitForNextDue();
  }
}

void SendLoop::Pass() {
  // The table's row count is re-read before every row.
  for (int16_t i = 0; i <= LastRow(SendDB_); ++i) {
    OneShotStep(i);
    const double now = clock_.Now();
    if (SendsPeriodically(SendDB_, i)) PeriodicStep(i, now);
    LastVisit_[static_cast<size_t>(i)] = now;
  }
  if (replay_ != nullptr) replay_->SendDue(clock_, *replay_sender_);
  pump_.DoEvents();
}

double SendLoop::NextDue() const {
  const double rows = RowsNextDue();
  return replay_ != nullptr ? std::min(rows, replay_->NextDue()) : rows;
}

double SendLoop::RowsNextDue() const {
  constexpr double kNow = -std::numeric_limits<double>::infinity();
  double next = std::numeric_limits<double>::infinity();
  for (int16_t i = 0; i <= LastRow(SendDB_); ++i) {
    if (SendDB_.CAN_SendOperation(i) == 1 && FitsItsFormat(SendDB_, i)) return kNow;
    if (!SendsPeriodically(SendDB_, i)) continue;
    const double period = SendDB_.CAN_SendCycleTime(i);
    const double accumulated = SendDB_.CAN_SendTime(i);
    if (accumulated >= period) return kNow;
    // A NaN stays out of the minimum: such a row never reaches its period.
    next = std::min(next, LastVisit_[static_cast<size_t>(i)] + (period - accumulated));
  }
  return next;
}

void SendLoop::WaitForNextDue() {
  const double now = clock_.Now();
  const double margin = margin_.Ms(now);
  const double due = NextDue();
  if (!(due - now > margin)) return;  // too close to sleep: keep passing
  const double wake_at = std::min(due - margin, now + kLongestWaitMs);
  pump_.WaitUntil(clock_.DeadlineAt(wake_at));
  // The accumulators read the clock as it is, so a late wake-up only makes
  // this one frame late; its lateness teaches the margin.
  const double woke = clock_.Now();
  if (woke >= wake_at) margin_.Learn(woke - wake_at, woke);
}

void SendLoop::BringRowsUpToDate() {
  const double now = clock_.Now();
  for (int16_t i = 0; i <= LastRow(SendDB_); ++i) {
    if (SendsPeriodically(SendDB_, i)) Accumulate(i, now);
    LastVisit_[static_cast<size_t>(i)] = now;
  }
}

void SendLoop::OneShotStep(int16_t i) {
  if (!FitsItsFormat(SendDB_, i)) {
    // The row cannot carry its identifier: a request is dropped, not kept.
    SendDB_.set_CAN_SendOperation(i, 0);
  } else if (SendDB_.CAN_SendOperation(i) == 1) {
    writer_.WriteRow(SendDB_, i);
    SendDB_.set_CAN_SendOperation(i, 0);
  }
}

void SendLoop::PeriodicStep(int16_t i, double now) {
  // A send resets the sum to zero and discards the excess, so frames are
  // never closer than the period and a late frame is not caught up.
  if (Accumulate(i, now) >= SendDB_.CAN_SendCycleTime(i)) {
    writer_.WriteRow(SendDB_, i);
    SendDB_.set_CAN_SendTime(i, 0.0);
  }
}

double SendLoop::Accumulate(int16_t i, double now) {
  const double accumulated = SendDB_.CAN_SendTime(i) + now - LastVisit_[static_cast<size_t>(i)];
  SendDB_.set_CAN_SendTime(i, accumulated);
  return accumulated;
}

}  // namespace telpod
