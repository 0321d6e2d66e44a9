#pragma once

namespace telpod {

// The send loop's millisecond clock; only differences of readings matter.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual double Now() = 0;
};

}  // namespace telpod
