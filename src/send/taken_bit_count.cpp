#include "send/taken_bit_count.h"

#include <algorithm>
#include <cmath>

namespace telpod {

namespace {

constexpr double kMillisecondsPerSecond = 1000.0;

size_t Slot(int64_t ms) {
  const int64_t window = TakenBitCount::kWindowMs;
  return static_cast<size_t>(((ms % window) + window) % window);
}

}  // namespace

void TakenBitCount::Start(double now) {
  per_ms_.fill(0);
  newest_ms_ = static_cast<int64_t>(std::floor(now));
  in_window_ = 0;
  total_ = 0;
  start_ = now;
}

void TakenBitCount::Add(double now, int32_t bits) {
  MoveTo(static_cast<int64_t>(std::floor(now)));
  per_ms_[Slot(newest_ms_)] += bits;
  in_window_ += bits;
  total_ += bits;
}

double TakenBitCount::PerSecond(double now) {
  MoveTo(static_cast<int64_t>(std::floor(now)));
  const double span = std::min(now - start_, kMillisecondsPerSecond);
  return span > 0.0 ? static_cast<double>(in_window_) * kMillisecondsPerSecond / span : 0.0;
}

void TakenBitCount::MoveTo(int64_t ms) {
  // A reading older than the newest (a clock that stepped back) counts as
  // the newest millisecond.
  if (ms <= newest_ms_) return;
  if (ms - newest_ms_ >= kWindowMs) {
    per_ms_.fill(0);
    in_window_ = 0;
  } else {
    for (int64_t m = newest_ms_ + 1; m <= ms; ++m) {
      in_window_ -= per_ms_[Slot(m)];
      per_ms_[Slot(m)] = 0;
    }
  }
  newest_ms_ = ms;
}

}  // namespace telpod
