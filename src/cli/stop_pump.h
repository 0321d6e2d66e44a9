#pragma once

#include <cstdint>
#include <optional>

#include "cli/run_record.h"
#include "platform/termination_signals.h"
#include "platform/window_services.h"
#include "send/replay_slot.h"

namespace telpod {

// The send loop's event pump in telpod-send. There are no window events;
// what a pump is there for here is ending the connection as Disconnect
// does (RxFlag to 0) once a stop signal has come, or once the run has
// lasted `seconds` since its loop started; on the way it lets the run
// record read the bus. Its waits go to `sleeper` (a
// pump that sleeps on the clock and wakes early on a signal) and never
// past the end of the run; without one they do not sleep at all, as a
// loop on a scripted clock needs. A run that plays a log also ends when
// the log has been played.
class StopPump final : public platform::EventPump {
 public:
  StopPump(int32_t& RxFlag, const platform::TerminationSignals& signals, RunRecord& run,
           std::optional<double> seconds, platform::EventPump* sleeper)
      : RxFlag_(RxFlag), signals_(signals), run_(run), seconds_(seconds), sleeper_(sleeper) {}

  void DoEvents() override;
  void WaitUntil(platform::Deadline deadline) override;
  bool StopSignalCame() const { return signals_.Caught() != 0; }
  void EndWithReplay(const ReplaySlot& replay) { replay_ = &replay; }

 private:
  bool TimeIsUp() const { return seconds_ && run_.Seconds() >= *seconds_; }
  bool Replayed() const;

  int32_t& RxFlag_;
  const platform::TerminationSignals& signals_;
  RunRecord& run_;
  std::optional<double> seconds_;
  platform::EventPump* sleeper_;
  const ReplaySlot* replay_ = nullptr;
};

}  // namespace telpod
