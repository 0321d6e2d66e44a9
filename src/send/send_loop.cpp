#include "send/send_loop.h"

#include <algorithm>
#include <limits>

#include "model/row_sending.h"

namespace telpod {

namespace {
// A moment already reached.
constexpr double kNow = -std::numeric_limits<double>::infinity();
}  // namespace

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
  double next = std::numeric_limits<double>::infinity();
  for (int16_t i = 0; i <= LastRow(SendDB_); ++i) {
    if (SendDB_.CAN_SendOperation(i) == 1 && FitsItsFormat(SendDB_, i)) return kNow;
    // A NaN stays out of the minimum: such a row never reaches its period.
    next = std::min(next, PeriodicDue(i));
  }
  return next;
}

double SendLoop::PeriodicDue(int16_t i) const {
  if (!SendsPeriodically(SendDB_, i)) return std::numeric_limits<double>::infinity();
  const double period = SendDB_.CAN_SendCycleTime(i);
  const double accumulated = SendDB_.CAN_SendTime(i);
  if (accumulated >= period) return kNow;
  return LastVisit_[static_cast<size_t>(i)] + (period - accumulated);
}

double SendLoop::HoldUntil(double first, double margin) const {
  double last = first;
  for (int16_t i = 0; i <= LastRow(SendDB_); ++i) {
    const double due = PeriodicDue(i);
    if (due <= first + margin) last = std::max(last, due);
  }
  return std::min(last, first + kDrawMs);
}

void SendLoop::WaitForNextDue() {
  double now = clock_.Now();
  const double margin = margin_.Ms(now);
  double due = NextDue();
  if (due - now > margin) {
    const double wake_at = std::min(due - margin, now + kLongestWaitMs);
    pump_.WaitUntil(clock_.DeadlineAt(wake_at));
    // The accumulators read the clock as it is, so a late wake-up only makes
    // this one frame late; its lateness teaches the margin.
    now = clock_.Now();
    if (now >= wake_at) margin_.Learn(now - wake_at, now);
    // The events that ran in the wait may have asked for a frame.
    due = NextDue();
    if (due - now > margin) return;  // woken early: the next pass looks again
  }
  // The last stretch is held on the clock alone: the pass after it finds its
  // rows due at its first readings, where passes letting events run would
  // reach them only within one pass's time. Events wait at most a margin
  // for that pass's own.
  if (due > now) pump_.SpinUntil(clock_.DeadlineAt(HoldUntil(due, margin)));
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
