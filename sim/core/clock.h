#pragma once

#include <time.h>

#include <cstdint>

namespace cansim {

inline int64_t NowNs(clockid_t clock) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// One clock reading per frame: monotonic for measuring, and wall-clock time
// for the log derived from it by an offset taken once.
class FrameClock {
 public:
  FrameClock() : offset_ns_(NowNs(CLOCK_REALTIME) - NowNs(CLOCK_MONOTONIC)) {}
  int64_t Monotonic() const { return NowNs(CLOCK_MONOTONIC); }
  int64_t ToRealtime(int64_t monotonic_ns) const { return monotonic_ns + offset_ns_; }

 private:
  int64_t offset_ns_;
};

}  // namespace cansim
