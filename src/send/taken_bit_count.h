#pragma once

#include <array>
#include <cstdint>

namespace telpod {

// The bits of the frames a device took: per millisecond of the loop's clock
// over the last second, and in all since the count started. Adding is a few
// instructions and never allocates, as it runs inside the loop.
class TakenBitCount {
 public:
  static constexpr int kWindowMs = 1000;

  // Empties the count; `now` is where the first second begins.
  void Start(double now);
  void Add(double now, int32_t bits);
  // Bits per second over the last second up to `now`; over the time since
  // the start while that is shorter.
  double PerSecond(double now);
  int64_t Total() const { return total_; }

 private:
  // Makes `ms` the newest millisecond, emptying those that left the window.
  void MoveTo(int64_t ms);

  std::array<int64_t, kWindowMs> per_ms_{};
  int64_t newest_ms_ = 0;
  int64_t in_window_ = 0;
  int64_t total_ = 0;
  double start_ = 0.0;
};

}  // namespace telpod
