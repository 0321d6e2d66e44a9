#pragma once

#include "platform/window_services.h"

namespace telpod::platform {

// A one-shot kernel timer on CLOCK_MONOTONIC behind a file descriptor
// (timerfd), which becomes readable at its deadline to the nanosecond, so
// that an event loop polling it wakes exactly then.
class WakeTimer {
 public:
  WakeTimer();
  ~WakeTimer();
  WakeTimer(const WakeTimer&) = delete;
  WakeTimer& operator=(const WakeTimer&) = delete;

  // False when the kernel gave no timer; Arm then always fails.
  bool valid() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  // Sets the one deadline (a past one fires at once); false on failure.
  bool Arm(Deadline deadline);
  // Cancels the deadline and takes back an expiry not yet read, so that the
  // descriptor is quiet again.
  void Disarm();

 private:
  int fd_;
};

}  // namespace telpod::platform
