#include "cli/run_record.h"

#include <algorithm>

namespace telpod {

namespace {
constexpr double kMillisecondsPerSecond = 1000.0;
}

void RunRecord::LoopStarted(LiveConnection& live) {
  start_ms_ = last_look_ms_ = clock_.Now();
  started_ = true;
  live_ = &live;
}

void RunRecord::LoopEnded(LiveConnection& live) {
  end_ms_ = clock_.Now();
  ended_ = true;
  live_ = nullptr;
  failed_writes_ = live.FailedWrites();
  taken_bits_ = live.TakenBits();
  ReadBus(live);
}

void RunRecord::LookAtBus() {
  if (live_ == nullptr) return;
  const double now = clock_.Now();
  if (now - last_look_ms_ < kBusLookMs) return;
  last_look_ms_ = now;
  ReadBus(*live_);
}

void RunRecord::ReadBus(LiveConnection& live) {
  worst_state_ = std::max(worst_state_, live.ReadBusState());
}

double RunRecord::Seconds() const {
  if (!started_) return 0;
  return ((ended_ ? end_ms_ : clock_.Now()) - start_ms_) / kMillisecondsPerSecond;
}

}  // namespace telpod
