#include "platform/sleeping_pump.h"

#include <ctime>

#include "platform/monotonic_time.h"

namespace telpod::platform {

void SleepingPump::WaitUntil(Deadline deadline) {
  const timespec until = MonotonicTimespec(deadline);
  // EINTR returns here on purpose; a past deadline returns at once.
  clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
}

}  // namespace telpod::platform
