#include "cli/stop_pump.h"

namespace telpod {

void StopPump::DoEvents() {
  if (StopSignalCame() || TimeIsUp()) RxFlag_ = 0;
}

}  // namespace telpod
