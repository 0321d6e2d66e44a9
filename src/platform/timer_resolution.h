#pragma once

namespace telpod::platform {

// The system timer resolution while the send loop runs. Windows raises it to
// 1 ms; Linux timers are fine-grained already, so these do nothing here.
void timeBeginPeriod(unsigned milliseconds);
void timeEndPeriod(unsigned milliseconds);

}  // namespace telpod::platform
