#include "platform/spin_wait.h"

#include <chrono>

namespace telpod::platform {

void SpinUntil(Deadline deadline) {
  // No pause instruction in the loop: in a virtual machine a run of them
  // reads as a lock holder's wait, and the host may take the processor
  // away for longer than the whole stretch.
  while (std::chrono::steady_clock::now() < deadline) {
  }
}

}  // namespace telpod::platform
