#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "app/qt_window_ports.h"
#include "platform/window_services.h"
#include "timing_stats.h"

namespace telpod::bench {

// How the loop spends the time between frames: asleep in the event pump, or
// passing without pause as it used to (its waits then return at once).
enum class Pacing { Wait, Spin };

inline const char* PacingName(Pacing pacing) {
  return pacing == Pacing::Wait ? "wait" : "spin";
}

// The program's Qt event pump, with the benchmark's pacing switch, an end
// time (RxFlag drops to 0 there), a chore run every 256 passes and after
// every wait, and figures on where the time between frames goes: how late
// the waits woke, what letting the window's events run costs, and how long
// a pass over the rows takes, the first one after a wake-up apart from the
// others (its code and data may have gone cold during the sleep).
class PacedPump : public platform::EventPump {
 public:
  using SteadyClock = std::chrono::steady_clock;

  PacedPump(Pacing pacing, int32_t& flag, double seconds, std::function<void()> chore)
      : pacing_(pacing),
        flag_(flag),
        stop_at_(SteadyClock::now() + std::chrono::duration_cast<SteadyClock::duration>(
                                          std::chrono::duration<double>(seconds))),
        chore_(std::move(chore)) {}

  void DoEvents() override {
    const auto start = SteadyClock::now();
    if (pass_started_) (after_wake_ ? first_pass_ : pass_).Add(Us(start - *pass_started_));
    after_wake_ = false;
    qt_.DoEvents();
    const auto end = SteadyClock::now();
    events_.Add(Us(end - start));
    if ((++passes_ & 0xFF) == 0) Chore();
    pass_started_ = SteadyClock::now();
  }

  void WaitUntil(platform::Deadline deadline) override {
    if (pacing_ == Pacing::Spin) return;
    const auto entry = SteadyClock::now();
    if (timed_out_) awake_.Add(Us(entry - last_deadline_));
    last_deadline_ = std::min(deadline, stop_at_);
    qt_.WaitUntil(last_deadline_);
    const auto woke = SteadyClock::now();
    ++waits_;
    timed_out_ = woke >= last_deadline_;
    if (timed_out_) late_.Add(Us(woke - last_deadline_));
    Chore();
    after_wake_ = true;
    pass_started_ = SteadyClock::now();
  }

  // "waits_per_s=X timed_out=X% wake_late_us=p50/p99/max awake_us=p50/p99/max
  //  events_us=p50/p99 first_pass_us=p50/p99 pass_us=p50/p99"
  std::string Summary(double seconds) const {
    char line[320];
    std::snprintf(line, sizeof line,
                  "waits_per_s=%.0f timed_out=%.1f%% wake_late_us=%.1f/%.1f/%.1f "
                  "awake_us=%.1f/%.1f/%.1f events_us=%.2f/%.2f first_pass_us=%.2f/%.2f "
                  "pass_us=%.2f/%.2f",
                  double(waits_) / seconds,
                  waits_ ? 100.0 * double(late_.count()) / double(waits_) : 0.0,
                  late_.Percentile(0.5), late_.Percentile(0.99), late_.max(),
                  awake_.Percentile(0.5), awake_.Percentile(0.99), awake_.max(),
                  events_.Percentile(0.5), events_.Percentile(0.99), first_pass_.Percentile(0.5),
                  first_pass_.Percentile(0.99), pass_.Percentile(0.5), pass_.Percentile(0.99));
    return line;
  }

 private:
  static double Us(SteadyClock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
  }
  void Chore() {
    chore_();
    if (SteadyClock::now() >= stop_at_) flag_ = 0;
  }

  QtEventPump qt_;
  Pacing pacing_;
  int32_t& flag_;
  platform::Deadline stop_at_;
  std::function<void()> chore_;
  uint64_t passes_ = 0;
  uint64_t waits_ = 0;
  bool timed_out_ = false;
  platform::Deadline last_deadline_{};
  ErrorStats late_;        // how late the pump woke after a deadline it slept to
  ErrorStats awake_;       // from that deadline to the next sleep: about the margin
  ErrorStats events_;      // one run of the window's pending events
  ErrorStats first_pass_;  // from a wake-up to the event run of the pass after it
  ErrorStats pass_;        // from one event run to the next
  std::optional<SteadyClock::time_point> pass_started_;
  bool after_wake_ = false;
};

}  // namespace telpod::bench
