#include "platform/sleeping_pump.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace telpod::platform {
namespace {

using std::chrono::steady_clock;
using namespace std::chrono_literals;

TEST(SleepingPump, SleepsUntilTheDeadlineAndNotBeyondAPastOne) {
  SleepingPump pump;
  pump.DoEvents();  // nothing to run, returns at once
  const Deadline deadline = steady_clock::now() + 3ms;
  pump.WaitUntil(deadline);
  EXPECT_GE(steady_clock::now(), deadline);
  pump.WaitUntil(steady_clock::now() - 1h);  // returns, does not hang
}

TEST(SleepingPump, ASignalEndsTheSleepEarly) {
  struct sigaction action {};
  action.sa_handler = [](int) {};
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
  std::atomic<bool> woke{false};
  const pthread_t sleeper = pthread_self();
  // The signal repeats until the sleeper is back, so it cannot slip in
  // before the sleep has begun.
  std::thread interrupter([&] {
    while (!woke) {
      pthread_kill(sleeper, SIGUSR1);
      std::this_thread::sleep_for(5ms);
    }
  });
  const Deadline deadline = steady_clock::now() + 1h;
  SleepingPump().WaitUntil(deadline);
  woke = true;
  interrupter.join();
  sigaction(SIGUSR1, &previous, nullptr);
  EXPECT_LT(steady_clock::now(), deadline);
}

}  // namespace
}  // namespace telpod::platform
