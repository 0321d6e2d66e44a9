#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace telpod::bench {

// Distribution of frame timing errors in microseconds, kept as a histogram
// of 10 ns buckets so that recording costs no allocation during a run.
class ErrorStats {
 public:
  ErrorStats() : buckets_(kBuckets, 0) {}

  void Add(double error_us) {
    ++count_;
    sum_ += error_us;
    max_ = std::max(max_, error_us);
    const double slot = (error_us - kLowestUs) / kBucketUs;
    const auto index = static_cast<int64_t>(std::clamp(slot, 0.0, double(kBuckets - 1)));
    ++buckets_[static_cast<size_t>(index)];
  }

  uint64_t count() const { return count_; }
  double mean() const { return count_ ? sum_ / double(count_) : 0.0; }
  double max() const { return count_ ? max_ : 0.0; }
  double Percentile(double p) const {
    if (count_ == 0) return 0.0;
    const auto wanted = static_cast<uint64_t>(std::ceil(p * double(count_)));
    uint64_t seen = 0;
    for (size_t i = 0; i < buckets_.size(); ++i) {
      seen += buckets_[i];
      if (seen >= std::max<uint64_t>(wanted, 1)) return kLowestUs + double(i + 1) * kBucketUs;
    }
    return max_;
  }

  // "mean_err_us=X p50_err_us=X p99_err_us=X max_err_us=X"
  std::string Summary() const {
    char line[160];
    std::snprintf(line, sizeof line,
                  "mean_err_us=%.2f p50_err_us=%.2f p99_err_us=%.2f max_err_us=%.2f", mean(),
                  Percentile(0.50), Percentile(0.99), max());
    return line;
  }

 private:
  static constexpr double kBucketUs = 0.01;
  static constexpr double kLowestUs = -1000.0;
  static constexpr int64_t kBuckets = 2'000'000;  // -1 ms .. +19 ms

  std::vector<uint32_t> buckets_;
  uint64_t count_ = 0;
  double sum_ = 0.0;
  double max_ = -1e300;
};

// Frame times per row -> the error of each frame against the period.
class FrameGaps {
 public:
  explicit FrameGaps(double period_ms) : period_ms_(period_ms) {}
  void Frame(int row, double t_ms) {
    double& last = last_[static_cast<size_t>(row)];
    if (last >= 0.0) stats_.Add((t_ms - last - period_ms_) * 1000.0);
    last = t_ms;
    ++frames_;
  }
  uint64_t frames() const { return frames_; }
  const ErrorStats& stats() const { return stats_; }

 private:
  double period_ms_;
  double last_[64] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                      -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                      -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                      -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  uint64_t frames_ = 0;
  ErrorStats stats_;
};

}  // namespace telpod::bench
