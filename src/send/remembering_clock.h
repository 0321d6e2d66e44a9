#pragma once

#include "send/clock.h"

namespace telpod {

// Passes another clock's readings on and keeps the last one, so that a
// frame can be stamped with the loop's time without reading the clock again.
class RememberingClock final : public Clock {
 public:
  explicit RememberingClock(Clock& source) : source_(source) {}

  double Now() override { return last_ = source_.Now(); }
  platform::Deadline DeadlineAt(double reading) override { return source_.DeadlineAt(reading); }
  double Last() const { return last_; }

 private:
  Clock& source_;
  double last_ = 0.0;
};

}  // namespace telpod
