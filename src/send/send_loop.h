#pragma once

#include <array>
#include <cstdint>

#include "model/can_senddb.h"
#include "platform/window_services.h"
#include "send/clock.h"
#include "send/frame_sender.h"
#include "send/replay_slot.h"
#include "send/wake_margin.h"

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
// period, then lets pending window events run once. Between passes it
// sleeps in the event pump while no row can fall due, waking a learned
// margin early and passing from there, so the pass time stays the
// granularity of every period without a core spent on it. A row whose
// identifier its frame's format cannot carry (a standard row above 0x7FF)
// is never written: its one-shot request is dropped, and periodically it
// counts as switched off. A replay joined to the loop is one more
// timetable: after the rows, each pass sends its frames that are due, and
// the waits end at whichever falls due first.
class SendLoop {
 public:
  // Even with nothing due the loop looks round this often.
  static constexpr double kLongestWaitMs = 100.0;

  SendLoop(CAN_SendDB& SendDB, int32_t& RxFlag, Clock& clock, RowWriter& writer,
           platform::EventPump& pump)
      : SendDB_(SendDB), RxFlag_(RxFlag), clock_(clock), writer_(writer), pump_(pump) {}

  // Plays whatever `slot` holds beside the rows, through `sender`.
  void Join(ReplaySlot& slot, FrameSender& sender) {
    replay_ = &slot;
    replay_sender_ = &sender;
  }
  // Every row's LastVisit takes one and the same clock reading.
  void StampLastVisit();
  // Passes until RxFlag is no longer 1; Disconnect clears it inside DoEvents
  // or inside a wait.
  void Run();
  // One pass over the rows, then one event pump.
  void Pass();
  // The clock reading at which the next pass has something to do: now for a
  // one-shot request, for a periodic row its last visit plus what its period
  // still lacks, the replay's next frame; infinity when nothing can fall due.
  double NextDue() const;
  // Sleeps until a margin before NextDue, or until window events have run.
  void WaitForNextDue();
  // Accumulates every row up to this moment as a pass would, but sends
  // nothing: called just before the table changes under a waiting loop, so
  // that a row switched on counts from the change and one switched off
  // keeps the time it had until then, as if the loop had passed there.
  void BringRowsUpToDate();

  const std::array<double, CAN_SendDB::kRows>& LastVisit() const { return LastVisit_; }
  const WakeMargin& margin() const { return margin_; }

 private:
  double RowsNextDue() const;
  void OneShotStep(int16_t i);
  void PeriodicStep(int16_t i, double now);
  // Adds the time since the row's last visit to its accumulation and
  // returns the sum.
  double Accumulate(int16_t i, double now);

  CAN_SendDB& SendDB_;
  int32_t& RxFlag_;
  Clock& clock_;
  RowWriter& writer_;
  platform::EventPump& pump_;
  ReplaySlot* replay_ = nullptr;
  FrameSender* replay_sender_ = nullptr;
  std::array<double, CAN_SendDB::kRows> LastVisit_{};
  WakeMargin margin_;
};

}  // namespace telpod
