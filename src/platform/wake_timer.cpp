#include "platform/wake_timer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>

#include "platform/monotonic_time.h"

namespace telpod::platform {

WakeTimer::WakeTimer() : fd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {}

WakeTimer::~WakeTimer() {
  if (fd_ >= 0) close(fd_);
}

bool WakeTimer::Arm(Deadline deadline) {
  if (fd_ < 0) return false;
  itimerspec when{};
  when.it_value = MonotonicTimespec(deadline);
  // A zero it_value would disarm; the clock's very start is long past anyway.
  if (when.it_value.tv_sec == 0 && when.it_value.tv_nsec == 0) when.it_value.tv_nsec = 1;
  return timerfd_settime(fd_, TFD_TIMER_ABSTIME, &when, nullptr) == 0;
}

void WakeTimer::Disarm() {
  if (fd_ < 0) return;
  const itimerspec off{};
  timerfd_settime(fd_, 0, &off, nullptr);
  uint64_t expirations = 0;
  while (read(fd_, &expirations, sizeof expirations) > 0) {
  }
}

}  // namespace telpod::platform
