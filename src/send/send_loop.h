#pragma once

#include <array>
#include <cstdint>

#include "model/can_senddb.h"
#include "platform/window_services.h"
#include "send/clock.h"

namespace telpod {

// Turns row i of the table into one frame of the device and writes it. The
// loop ignores the outcome: a failed write is neither retried nor reported.
class RowWriter {
 public:
  virtual ~RowWriter() = default;
  virtual void WriteRow(const CAN_SendDB& SendDB, int16_t i) = 0;
};

// The send loop: while RxFlag is 1 it visits rows 0..CAN_Array_MAX, sends
// one-shot requests and rows whose accumulated time has reached their
// period, then lets pending window events run once. No sleep, no wait: the
// pass time is the granularity of every period. A standard-format row with
// an identifier above 0x7FF is never written: its one-shot request is
// dropped, and periodically it counts as switched off.
class SendLoop {
 public:
  static constexpr int32_t kMaxStandardId = 0x7FF;

  SendLoop(CAN_SendDB& SendDB, int32_t& RxFlag, Clock& clock, RowWriter& writer,
           platform::EventPump& pump)
      : SendDB_(SendDB), RxFlag_(RxFlag), clock_(clock), writer_(writer), pump_(pump) {}

  // Every row's LastVisit takes one and the same clock reading.
  void StampLastVisit();
  // Passes until RxFlag is no longer 1; Disconnect clears it inside DoEvents.
  void Run();
  // One pass over the rows, then one event pump.
  void Pass();

  const std::array<double, CAN_SendDB::kRows>& LastVisit() const { return LastVisit_; }

 private:
  void OneShotStep(int16_t i);
  // False for a standard-format row whose identifier needs more than 11 bits.
  bool FitsItsFormat(int16_t i) const;
  void PeriodicStep(int16_t i, double now);

  CAN_SendDB& SendDB_;
  int32_t& RxFlag_;
  Clock& clock_;
  RowWriter& writer_;
  platform::EventPump& pump_;
  std::array<double, CAN_SendDB::kRows> LastVisit_{};
};

}  // namespace telpod
