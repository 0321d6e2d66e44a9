#include "send/wake_margin.h"

#include <algorithm>
#include <limits>

namespace telpod {

void WakeMargin::Restart() {
  lateness_ms_.fill(kStartLatenessMs);
  margin_ms_ = std::clamp(kHeadroom * kStartLatenessMs + kPadMs, kMinMs, kMaxMs);
  confirmed_at_ = std::numeric_limits<double>::quiet_NaN();  // the first reading starts the count
}

double WakeMargin::Ms(double now) {
  if (!(now - confirmed_at_ <= kForgetAfterMs)) {
    Restart();
    confirmed_at_ = now;
  }
  return margin_ms_;
}

void WakeMargin::Learn(double lateness_ms, double now) {
  if (!(lateness_ms >= 0.0)) return;  // early or not a number: nothing learned
  lateness_ms_[next_] = lateness_ms;
  next_ = (next_ + 1) % kWindow;
  margin_ms_ = std::clamp(kHeadroom * Percentile99() + kPadMs, kMinMs, kMaxMs);
  confirmed_at_ = now;
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
