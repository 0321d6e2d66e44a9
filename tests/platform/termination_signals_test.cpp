#include "platform/termination_signals.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <csignal>

namespace telpod {
namespace {

using platform::TerminationSignals;

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

bool RestartsCalls(int signal_number) {
  struct sigaction now {};
  ::sigaction(signal_number, nullptr, &now);
  return (now.sa_flags & SA_RESTART) != 0;
}

// The window keeps its calls running through a signal and watches the pipe.
TEST(TerminationSignals, TheSessionsEndBecomesARequestInsteadOfAnEnd) {
  const auto hup = std::signal(SIGHUP, SIG_DFL);  // as a terminal's program has it
  TerminationSignals signals;
  ASSERT_TRUE(signals.IsActive());
  EXPECT_FALSE(Readable(signals.ReadFd()));
  for (const int s : {SIGTERM, SIGHUP}) {
    EXPECT_TRUE(RestartsCalls(s));
    ASSERT_EQ(std::raise(s), 0);  // the test goes on: the signal was caught
    EXPECT_TRUE(Readable(signals.ReadFd()));
    EXPECT_EQ(signals.Take(), s);
    EXPECT_FALSE(Readable(signals.ReadFd()));
    EXPECT_EQ(signals.Take(), 0);
  }
  std::signal(SIGHUP, hup);
}

// A program without a window wants its waits cut short, and keeps the flag
// to poll.
TEST(TerminationSignals, AChosenSetIsCaughtWithoutRestartingCalls) {
  TerminationSignals signals({SIGINT, SIGTERM}, false);
  ASSERT_TRUE(signals.IsActive());
  EXPECT_FALSE(RestartsCalls(SIGINT));
  EXPECT_FALSE(RestartsCalls(SIGTERM));
  EXPECT_EQ(signals.Caught(), 0);
  ASSERT_EQ(std::raise(SIGINT), 0);
  EXPECT_EQ(signals.Caught(), SIGINT);
  EXPECT_EQ(signals.Take(), SIGINT);
  EXPECT_EQ(signals.Caught(), SIGINT) << "the flag stays once the pipe is emptied";
  ASSERT_EQ(std::raise(SIGTERM), 0);
  EXPECT_EQ(signals.Caught(), SIGTERM);
}

// nohup leaves SIGHUP ignored for the program it starts, and so it stays.
TEST(TerminationSignals, ASignalIgnoredFromTheStartStaysIgnored) {
  const auto hup = std::signal(SIGHUP, SIG_IGN);
  {
    TerminationSignals signals({SIGTERM, SIGHUP}, false);
    ASSERT_TRUE(signals.IsActive());
    ASSERT_EQ(std::raise(SIGHUP), 0);
    EXPECT_EQ(signals.Caught(), 0);
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_EQ(signals.Caught(), SIGTERM);
  }
  EXPECT_EQ(std::signal(SIGHUP, hup), SIG_IGN);
}

volatile std::sig_atomic_t earlier_handler_calls = 0;
extern "C" void EarlierHandler(int) {
  earlier_handler_calls = earlier_handler_calls + 1;
}

TEST(TerminationSignals, OneCatchesAtATimeAndTheEarlierHandlersComeBack) {
  const auto term = std::signal(SIGTERM, EarlierHandler);
  const auto hup = std::signal(SIGHUP, EarlierHandler);
  {
    TerminationSignals first;
    TerminationSignals second;
    EXPECT_TRUE(first.IsActive());
    EXPECT_FALSE(second.IsActive());
    EXPECT_EQ(second.ReadFd(), -1);
    std::raise(SIGTERM);
    EXPECT_EQ(second.Take(), 0);
    EXPECT_EQ(first.Take(), SIGTERM);
  }
  std::raise(SIGTERM);
  std::raise(SIGHUP);
  EXPECT_EQ(earlier_handler_calls, 2);
  EXPECT_TRUE(TerminationSignals().IsActive()) << "free to catch again";
  std::signal(SIGTERM, term);
  std::signal(SIGHUP, hup);
}

}  // namespace
}  // namespace telpod
