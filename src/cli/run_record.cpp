#include "cli/run_record.h"

namespace telpod {

namespace {
constexpr double kMillisecondsPerSecond = 1000.0;
}

void RunRecord::LoopStarted(LiveConnection&) {
  start_ms_ = clock_.Now();
  started_ = true;
}

void RunRecord::LoopEnded(LiveConnection& live) {
  end_ms_ = clock_.Now();
  ended_ = true;
  failed_writes_ = live.FailedWrites();
  taken_bits_ = live.TakenBits();
}

double RunRecord::Seconds() const {
  if (!started_) return 0;
  return ((ended_ ? end_ms_ : clock_.Now()) - start_ms_) / kMillisecondsPerSecond;
}

}  // namespace telpod
