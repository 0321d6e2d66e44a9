#include "platform/timer_resolution.h"

#include <sys/prctl.h>

namespace telpod::platform {

namespace {
constexpr unsigned long kExactSlackNs = 1;  // the finest the kernel takes
constexpr unsigned long kDefaultSlack = 0;  // the thread's own default again
}  // namespace

void timeBeginPeriod(unsigned) {
  prctl(PR_SET_TIMERSLACK, kExactSlackNs, 0, 0, 0);
}

void timeEndPeriod(unsigned) {
  prctl(PR_SET_TIMERSLACK, kDefaultSlack, 0, 0, 0);
}

}  // namespace telpod::platform
