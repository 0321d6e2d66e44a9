#include "send/lateness_tally.h"

#include <algorithm>
#include <cmath>

namespace telpod {

namespace {
constexpr double kMicrosPerMs = 1000.0;
// The first doubling starts where the microsecond steps end: 2^6 us.
constexpr int kFirstExponent = 6;
}  // namespace

size_t LatenessTally::BucketOf(double micros) {
  if (!(micros >= 0)) return 0;  // NaN and early frames count as on time
  if (micros < kLinear) return static_cast<size_t>(micros);
  int exponent = 0;
  const double mantissa = std::frexp(micros, &exponent);  // micros = mantissa * 2^exponent
  const auto doubling = static_cast<size_t>(exponent - 1 - kFirstExponent);
  if (doubling >= kDoublings) return kBuckets - 1;
  const auto step = static_cast<size_t>((mantissa * 2 - 1) * kSteps);
  return kLinear + doubling * kSteps + std::min(step, kSteps - 1);
}

double LatenessTally::UpperMicros(size_t bucket) {
  if (bucket < kLinear) return static_cast<double>(bucket + 1);
  const size_t doubling = (bucket - kLinear) / kSteps;
  const size_t step = (bucket - kLinear) % kSteps;
  const double base = std::ldexp(1.0, static_cast<int>(doubling) + kFirstExponent);
  return base * (1.0 + static_cast<double>(step + 1) / kSteps);
}

void LatenessTally::Add(double lateness_ms) {
  ++buckets_[BucketOf(lateness_ms * kMicrosPerMs)];
  ++count_;
  if (lateness_ms > max_ms_) max_ms_ = lateness_ms;
}

double LatenessTally::PercentileMs(double share) const {
  if (count_ == 0) return 0;
  const auto wanted = static_cast<int64_t>(std::ceil(share * static_cast<double>(count_)));
  int64_t seen = 0;
  for (size_t b = 0; b < kBuckets; ++b) {
    seen += buckets_[b];
    if (seen >= std::max<int64_t>(wanted, 1)) {
      return std::min(UpperMicros(b) / kMicrosPerMs, max_ms_);
    }
  }
  return max_ms_;
}

}  // namespace telpod
