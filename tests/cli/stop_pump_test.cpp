#include "cli/stop_pump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>

#include "support/engine_fakes.h"

namespace telpod {
namespace {

using namespace std::chrono_literals;
using std::chrono::duration;
using std::chrono::steady_clock;

class IdleConnection : public LiveConnection {
 public:
  int64_t FailedWrites() const override { return 0; }
  BusState ReadBusState() override { return BusState::Normal; }
  double TakenBitsPerSecond() override { return 0.0; }
  int64_t TakenBits() const override { return 0; }
};

double Ms(platform::Deadline deadline) {
  return duration<double, std::milli>(deadline.time_since_epoch()).count();
}

// telpod-send's waits: to the loop's deadline but never past the end of the
// run, and none at all on a clock that does not run in real time.
TEST(StopPump, SleepsToTheEarlierOfTheLoopsDeadlineAndTheRunsEnd) {
  test::ScriptedClock clock;
  RunRecord run(clock);
  IdleConnection live;
  const platform::TerminationSignals signals({SIGUSR1}, false);
  int32_t RxFlag = 1;
  test::ScriptedPump sleeper;
  StopPump pump(RxFlag, signals, run, 2.0, &sleeper);
  run.LoopStarted(live);
  clock.now += 500;  // 1.5 s of the run left

  const auto far = steady_clock::now() + 10s;
  pump.WaitUntil(far);
  const auto near = steady_clock::now() + 100ms;
  pump.WaitUntil(near);
  ASSERT_EQ(sleeper.waits.size(), 2u);
  const double end_of_run = Ms(steady_clock::now() + 1500ms);
  EXPECT_NEAR(sleeper.waits[0], end_of_run, 100.0);
  EXPECT_EQ(sleeper.waits[1], Ms(near));
  EXPECT_EQ(RxFlag, 1);

  clock.now += 1500;  // the run is over: the wait ends it as Disconnect does
  pump.WaitUntil(far);
  EXPECT_EQ(RxFlag, 0);

  RxFlag = 1;
  StopPump scripted(RxFlag, signals, run, std::nullopt, nullptr);
  scripted.WaitUntil(far);
  EXPECT_EQ(sleeper.waits.size(), 3u);
  EXPECT_EQ(RxFlag, 1);
}

// The bus is read between passes every 800 ms of the loop's clock and once
// at the loop's end; the gravest state read is the run's, even when the bus
// came back.
TEST(StopPump, TheBusIsReadAsTheWindowReadsItAndItsGravestStateKept) {
  class ScriptedBus final : public IdleConnection {
   public:
    BusState ReadBusState() override {
      ++reads;
      return reads == 2 ? BusState::BusOff : BusState::ErrorWarning;
    }
    int reads = 0;
  } bus;
  test::ScriptedClock clock;
  RunRecord run(clock);
  const platform::TerminationSignals signals({SIGUSR1}, false);
  int32_t RxFlag = 1;
  StopPump pump(RxFlag, signals, run, std::nullopt, nullptr);
  pump.DoEvents();
  EXPECT_EQ(bus.reads, 0) << "not before the loop runs";
  run.LoopStarted(bus);
  for (const double step : {799.0, 1.0, 400.0, 400.0, 799.0}) {
    clock.now += step;
    pump.DoEvents();
  }
  EXPECT_EQ(bus.reads, 2);
  EXPECT_EQ(run.worst_bus_state(), BusState::BusOff);
  run.LoopEnded(bus);
  EXPECT_EQ(bus.reads, 3);
  EXPECT_EQ(run.worst_bus_state(), BusState::BusOff);
  pump.DoEvents();
  EXPECT_EQ(bus.reads, 3) << "not after the loop's end";
}

}  // namespace
}  // namespace telpod
