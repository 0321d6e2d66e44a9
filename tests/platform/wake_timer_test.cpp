#include "platform/wake_timer.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>

namespace telpod::platform {
namespace {

using std::chrono::steady_clock;
using namespace std::chrono_literals;

// Whether the descriptor is readable now, without waiting.
bool Readable(const WakeTimer& timer) {
  pollfd watch{timer.fd(), POLLIN, 0};
  return poll(&watch, 1, 0) == 1 && (watch.revents & POLLIN);
}

TEST(WakeTimer, ReadableOnlyOnceItsDeadlineHasPassedAndQuietAfterDisarm) {
  WakeTimer timer;
  ASSERT_TRUE(timer.valid());
  EXPECT_FALSE(Readable(timer));
  struct Case {
    const char* what;
    Deadline deadline;
    bool readable;
  };
  for (const Case& c : {Case{"an hour ahead", steady_clock::now() + 1h, false},
                        Case{"just past", steady_clock::now() - 1us, true},
                        Case{"the clock's start", Deadline{}, true},
                        Case{"before the clock's start", Deadline{} - 1h, true}}) {
    ASSERT_TRUE(timer.Arm(c.deadline)) << c.what;
    EXPECT_EQ(Readable(timer), c.readable) << c.what;
    timer.Disarm();
    EXPECT_FALSE(Readable(timer)) << c.what;
  }
}

TEST(WakeTimer, ASoonDeadlineWakesAPollThatWouldWaitAMinute) {
  WakeTimer timer;
  const Deadline deadline = steady_clock::now() + 2ms;
  ASSERT_TRUE(timer.Arm(deadline));
  pollfd watch{timer.fd(), POLLIN, 0};
  ASSERT_EQ(poll(&watch, 1, 60'000), 1);
  EXPECT_GE(steady_clock::now(), deadline);  // never early
}

}  // namespace
}  // namespace telpod::platform
