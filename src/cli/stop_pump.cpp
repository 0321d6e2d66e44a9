#include "cli/stop_pump.h"

#include <algorithm>
#include <chrono>

namespace telpod {

void StopPump::DoEvents() {
  run_.LookAtBus();
  if (StopSignalCame() || TimeIsUp() || Replayed()) RxFlag_ = 0;
}

bool StopPump::Replayed() const {
  return replay_ != nullptr && replay_->schedule() != nullptr && replay_->schedule()->Finished();
}

void StopPump::WaitUntil(platform::Deadline deadline) {
  if (sleeper_ != nullptr) {
    if (seconds_) {
      const std::chrono::duration<double> left(*seconds_ - run_.Seconds());
      deadline = std::min(
          deadline, std::chrono::steady_clock::now() +
                        std::chrono::duration_cast<std::chrono::steady_clock::duration>(left));
    }
    sleeper_->WaitUntil(deadline);
  }
  DoEvents();
}

}  // namespace telpod
