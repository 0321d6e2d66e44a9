#include "platform/timer_resolution.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>

namespace telpod::platform {
namespace {

long Slack() {
  return prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
}

TEST(TimerResolution, TheLoopsThreadGetsExactTimersAndItsDefaultSlackBack) {
  const long before = Slack();  // the thread's default, 50 us unless set otherwise
  timeBeginPeriod(1);
  EXPECT_EQ(Slack(), 1);
  timeEndPeriod(1);
  EXPECT_EQ(Slack(), before);
}

}  // namespace
}  // namespace telpod::platform
