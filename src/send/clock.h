#pragma once

#include <chrono>

#include "platform/window_services.h"

namespace telpod {

// The send loop's millisecond clock; only differences of readings matter.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual double Now() = 0;

  // The monotonic moment at which this clock will read `reading`, for the
  // event pump's waits; found by the distance from a fresh reading.
  virtual platform::Deadline DeadlineAt(double reading) {
    const auto from_now = std::chrono::duration<double, std::milli>(reading - Now());
    return std::chrono::steady_clock::now() +
           std::chrono::duration_cast<std::chrono::steady_clock::duration>(from_now);
  }
};

}  // namespace telpod
