#pragma once

#include <array>
#include <cstddef>

namespace telpod {

// How early the send loop wakes before a row falls due, learned from how
// late its own wake-ups were: the 99th percentile of the last 128, half as
// much again and 10 us more, between 20 us and 500 us. The window starts
// full of a cautious guess (200 us late), which real wake-ups push out one
// by one, so the first waits of a connection do not trust a lucky few.
//
//   128 wake-ups 30 us late, one 300 us  ->  1.5 * 30 + 10 = 55 us
//   and a second one 300 us              ->  1.5 * 300 + 10 = 460 us
//
// Past half a millisecond spinning buys little (a thread that spins that
// long is pre-empted like one that sleeps), and rows 1 ms apart keep
// sleeping and so keep teaching it. A margin grown past the time between
// frames would stop the waits that teach it, so after a second without a
// wake-up it starts afresh.
class WakeMargin {
 public:
  static constexpr std::size_t kWindow = 128;
  static constexpr double kStartLatenessMs = 0.2;
  static constexpr double kHeadroom = 1.5;
  static constexpr double kPadMs = 0.01;
  static constexpr double kMinMs = 0.02;
  static constexpr double kMaxMs = 0.5;
  static constexpr double kForgetAfterMs = 1'000.0;

  WakeMargin() { Restart(); }

  // The margin in milliseconds at the clock reading `now`.
  double Ms(double now);
  // One wake-up, at `now`, that came `lateness_ms` after the moment it was
  // asked for.
  void Learn(double lateness_ms, double now);
  // The margin as last learned, for figures.
  double current_ms() const { return margin_ms_; }

 private:
  void Restart();
  double Percentile99() const;

  std::array<double, kWindow> lateness_ms_;
  std::size_t next_ = 0;
  double margin_ms_ = 0.0;
  double confirmed_at_;
};

}  // namespace telpod
