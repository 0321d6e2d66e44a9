#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace telpod {

// How late frames went out, kept in a fixed number of buckets whatever
// their count: microsecond steps below 64 us, then 32 steps per doubling,
// so a percentile is at most about 3% above the truth.
class LatenessTally {
 public:
  void Add(double lateness_ms);
  int64_t count() const { return count_; }
  // The lateness that `share` (0 to 1) of the frames did not exceed, in
  // milliseconds, as the upper end of its bucket; 0 without frames.
  double PercentileMs(double share) const;
  double max_ms() const { return max_ms_; }

 private:
  static constexpr size_t kLinear = 64;
  static constexpr size_t kSteps = 32;
  static constexpr size_t kDoublings = 34;  // up to about 4.5 hours
  static constexpr size_t kBuckets = kLinear + kSteps * kDoublings;

  static size_t BucketOf(double micros);
  static double UpperMicros(size_t bucket);

  std::array<int64_t, kBuckets> buckets_{};
  int64_t count_ = 0;
  double max_ms_ = 0;
};

}  // namespace telpod
