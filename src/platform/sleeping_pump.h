#pragma once

#include "platform/window_services.h"

namespace telpod::platform {

// The event pump of a program without a window: there are no events to
// run, and a wait sleeps on the monotonic clock alone. A signal ends the
// sleep early (it is not resumed), so a handler that asks the send loop to
// stop is seen at once.
class SleepingPump final : public EventPump {
 public:
  void DoEvents() override {}
  void WaitUntil(Deadline deadline) override;
};

}  // namespace telpod::platform
