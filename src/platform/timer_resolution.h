#pragma once

namespace telpod::platform {

// The system timer precision while the send loop runs. Windows raises its
// timer resolution to 1 ms; Linux timers are fine-grained already, but the
// kernel lets each sleep of a thread run late by its timer slack (50 us by
// default) to batch wake-ups, so the loop's thread asks for exact timers
// instead and gets its default slack back at the end.
void timeBeginPeriod(unsigned milliseconds);
void timeEndPeriod(unsigned milliseconds);

}  // namespace telpod::platform
