#include "platform/monotonic_time.h"

#include <algorithm>

namespace telpod::platform {

timespec MonotonicTimespec(Deadline deadline) {
  // steady_clock is CLOCK_MONOTONIC on Linux, so its count is the kernel's.
  const auto ns = std::max<std::chrono::nanoseconds::rep>(
      0, std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count());
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
  ts.tv_nsec = static_cast<long>(ns % 1'000'000'000);
  return ts;
}

}  // namespace telpod::platform
