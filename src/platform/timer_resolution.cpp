#include "platform/timer_resolution.h"

namespace telpod::platform {

void timeBeginPeriod(unsigned) {}
void timeEndPeriod(unsigned) {}

}  // namespace telpod::platform
