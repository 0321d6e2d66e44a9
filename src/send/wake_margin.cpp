#include "send/wake_margin.h"

#include <algorithm>

namespace telpod {

WakeMargin::WakeMargin() {
  lateness_ms_.fill(kStartLatenessMs);
  margin_ms_ = std::clamp(kHeadroom * kStartLatenessMs + kPadMs, kMinMs, kMaxMs);
}

void WakeMargin::Learn(double lateness_ms) {
  if (!(lateness_ms >= 0.0)) return;  // early or not a number: nothing learned
  lateness_ms_[next_] = lateness_ms;
  next_ = (next_ + 1) % kWindow;
  margin_ms_ = std::clamp(kHeadroom * Percentile99() + kPadMs, kMinMs, kMaxMs);
}

double WakeMargin::Percentile99() const {
  // Nearest rank: the 127th of 128 in ascending order, so that one stray
  // wake-up (a pre-emption) does not hold the margin up on its own.
  constexpr std::size_t kRank = (kWindow * 99 + 99) / 100 - 1;
  std::array<double, kWindow> sorted = lateness_ms_;
  std::nth_element(sorted.begin(), sorted.begin() + kRank, sorted.end());
  return sorted[kRank];
}

}  // namespace telpod
