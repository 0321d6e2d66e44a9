#include "send/send_loop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <utility>

#include "support/engine_fakes.h"

namespace telpod {
namespace {

using test::RecordingWriter;
using test::ScriptedClock;
using test::ScriptedPump;

// A table with every row idle, ready for a test to switch rows on.
class SendLoopTest : public ::testing::Test {
 protected:
  void SetUp() override { loop.StampLastVisit(); }

  void Periodic(int16_t row, double period, int32_t id = 0x100, uint8_t ext = 0) {
    db.set_CAN_SendCycleOperation(row, 1);
    db.set_CAN_SendCycleTime(row, period);
    db.set_CAN_ID(row, id);
    db.set_CAN_Send29(row, ext);
  }
  // One pass with the clock standing at `t` for all of it.
  void PassAt(double t) {
    clock.now = t;
    loop.Pass();
  }
  void Restart() {
    db.Timer_Clear();
    loop.StampLastVisit();
  }
  // Runs the loop until the clock passes `end`. Every reading moves the
  // clock on by 1 us (a pass takes 9 us), and the k-th wait wakes
  // `lateness(k)` ms after its deadline.
  void RunUntil(double end, std::function<double(int)> lateness = {}) {
    clock.step = 0.001;
    pump.on_wait = [this, lateness](double deadline) {
      const int k = static_cast<int>(pump.waits.size()) - 1;
      clock.now = std::max(clock.now, deadline + (lateness ? lateness(k) : 0.0));
    };
    pump.on_pass = [this, end](int) {
      if (clock.now >= end) RxFlag = 0;
    };
    loop.Run();
  }
  std::vector<double> Times(int16_t row) const {
    std::vector<double> times;
    for (const auto& f : writer.frames) {
      if (f.row == row) times.push_back(f.time);
    }
    return times;
  }

  CAN_SendDB db;
  int32_t RxFlag = 1;
  ScriptedClock clock;
  RecordingWriter writer{clock};
  ScriptedPump pump;
  SendLoop loop{db, RxFlag, clock, writer, pump};
};

TEST_F(SendLoopTest, FirstPassSendsEveryPeriodicRowInRowOrderThenEachAtItsPeriod) {
  Periodic(3, 500.0);
  Periodic(0, 100.0);
  Restart();

  PassAt(1000.0);
  EXPECT_EQ(writer.Rows(), (std::vector<int16_t>{0, 3}));

  writer.frames.clear();
  PassAt(1099.0);
  EXPECT_TRUE(writer.frames.empty());
  PassAt(1100.0);
  PassAt(1499.0);
  PassAt(1500.0);
  EXPECT_EQ(writer.Rows(), (std::vector<int16_t>{0, 0, 3}));
  EXPECT_EQ(writer.frames[0].time, 1100.0);
  EXPECT_EQ(writer.frames[1].time, 1499.0);  // one late frame, no catch-up for 1200..1400
  EXPECT_EQ(writer.frames[2].time, 1500.0);
}

TEST_F(SendLoopTest, ExcessOverThePeriodIsDiscardedNotCaughtUp) {
  Periodic(1, 10.0);
  Restart();
  for (double t : {1000.0, 1015.0, 1020.0, 1025.0, 1030.0}) PassAt(t);
  std::vector<double> times;
  for (const auto& f : writer.frames) times.push_back(f.time);
  // 1015 is 5 ms late; the schedule restarts there instead of sending at 1020.
  EXPECT_EQ(times, (std::vector<double>{1000.0, 1015.0, 1025.0}));
}

TEST_F(SendLoopTest, PeriodOfZeroOrLessSendsOnEveryPass) {
  Periodic(2, 0.0);
  Periodic(5, -3.0);
  Restart();
  for (int k = 0; k < 4; ++k) PassAt(1000.0);  // no time passes at all
  EXPECT_EQ(writer.frames.size(), 8u);
}

TEST_F(SendLoopTest, DueRowWithPendingRequestIsWrittenTwiceOneShotFirst) {
  Periodic(4, 50.0);
  Restart();
  db.set_CAN_SendOperation(4, 1);
  db.set_CAN_SendOperation(6, 1);
  clock.now = 1000.0;
  clock.step = 1.0;  // the one-shot write happens before the row's clock reading
  loop.Pass();
  ASSERT_EQ(writer.Rows(), (std::vector<int16_t>{4, 4, 6}));
  EXPECT_LT(writer.frames[0].time, writer.frames[1].time);
  EXPECT_EQ(db.CAN_SendOperation(4), 0);
  EXPECT_EQ(db.CAN_SendOperation(6), 0);
  EXPECT_EQ(db.CAN_SendTime(4), 0.0);
}

// A driver would mask 0x800 to 0x000 on a standard frame: such a row is
// never written, once or periodically; on an extended row it is an
// ordinary identifier. Only 1 means extended, so 2 counts as standard.
TEST_F(SendLoopTest, IdentifiersAbove7FFOnStandardRowsAreNeverWritten) {
  struct Row {
    int16_t row;
    int32_t id;
    uint8_t ext;
    bool periodic;
  };
  for (const Row& r : {Row{0, 0x800, 0, true}, Row{1, 0x800, 1, true}, Row{2, 0x7FF, 0, true},
                       Row{3, 0x800, 2, true}, Row{4, 0x800, 0, false}, Row{5, 0x800, 1, false},
                       Row{6, 0x7FF, 0, false}}) {
    Periodic(r.row, 100.0, r.id, r.ext);
    db.set_CAN_SendCycleOperation(r.row, r.periodic ? 1 : 0);
  }
  Restart();
  for (int16_t row : {4, 5, 6}) db.set_CAN_SendOperation(row, 1);
  for (double t = 1000.0; t <= 1300.0; t += 50.0) PassAt(t);
  EXPECT_EQ(writer.Rows(), (std::vector<int16_t>{1, 2, 5, 6, 1, 2, 1, 2, 1, 2}));
  EXPECT_EQ(db.CAN_SendOperation(4), 0);  // dropped, not kept for later
  for (const auto& frame : writer.frames) EXPECT_LE(frame.id, frame.extended ? 0x1FFFFFFF : 0x7FF);
}

TEST_F(SendLoopTest, OnlyExactlyOneSwitchesPeriodicSendingOn) {
  Periodic(0, 10.0);
  Restart();
  db.set_CAN_SendCycleOperation(0, 2);
  for (double t = 1000.0; t < 1100.0; t += 5.0) PassAt(t);
  EXPECT_TRUE(writer.frames.empty());
  EXPECT_EQ(db.CAN_SendTime(0), 10.0);  // untouched while off
}

// Switched off, or an 11-bit row given an identifier above 0x7FF: either
// way the row waits, its accumulation keeps its value and LastVisit moves
// on, so the time it waited is not counted.
TEST_F(SendLoopTest, TimeSpentSwitchedOffOrUnsendableIsNotCounted) {
  using Step = std::function<void()>;
  const std::pair<Step, Step> pauses[] = {
      {[&] { db.set_CAN_SendCycleOperation(0, 0); }, [&] { db.set_CAN_SendCycleOperation(0, 1); }},
      {[&] { db.set_CAN_ID(0, 0x800); }, [&] { db.set_CAN_ID(0, 0x7FF); }},
  };
  for (const auto& [pause, resume] : pauses) {
    writer.frames.clear();
    Periodic(0, 100.0, 0x7FF);
    clock.now = 1000.0;
    Restart();
    PassAt(1000.0);  // sent, accumulation 0
    PassAt(1060.0);  // 60 accumulated
    pause();
    PassAt(6000.0);
    PassAt(11060.0);  // ten seconds waiting
    EXPECT_DOUBLE_EQ(db.CAN_SendTime(0), 60.0);
    EXPECT_EQ(loop.LastVisit()[0], 11060.0);
    resume();
    PassAt(11090.0);  // 60 + 30: not yet due
    EXPECT_EQ(writer.frames.size(), 1u);
    PassAt(11100.0);
    EXPECT_EQ(writer.frames.size(), 2u);
  }
}

TEST_F(SendLoopTest, LoweringThePeriodBelowTheAccumulationSendsAtTheNextPass) {
  Periodic(7, 1000.0);
  Restart();
  PassAt(1000.0);
  PassAt(1300.0);
  EXPECT_EQ(writer.frames.size(), 1u);
  db.set_CAN_SendCycleTime(7, 200.0);
  PassAt(1300.5);
  EXPECT_EQ(writer.frames.size(), 2u);
}

TEST_F(SendLoopTest, RowCountIsReReadBeforeEveryRowAndNeverRunsPastTheTable) {
  for (int16_t r = 0; r < 8; ++r) Periodic(r, 0.0);
  Restart();
  db.set_CAN_Array_MAX(100);
  PassAt(1000.0);
  EXPECT_EQ(writer.frames.size(), 8u);

  writer.frames.clear();
  db.set_CAN_Array_MAX(7);
  struct Shrinker : RowWriter {
    CAN_SendDB* db;
    std::vector<int16_t> rows;
    void WriteRow(const CAN_SendDB&, int16_t i) override {
      rows.push_back(i);
      if (i == 2) db->set_CAN_Array_MAX(3);
    }
  } shrinker;
  shrinker.db = &db;
  SendLoop shrinking(db, RxFlag, clock, shrinker, pump);
  shrinking.StampLastVisit();
  shrinking.Pass();
  EXPECT_EQ(shrinker.rows, (std::vector<int16_t>{0, 1, 2, 3}));
}

TEST_F(SendLoopTest, RunStopsWhenTheFlagDropsInsideTheEventPump) {
  for (int16_t r = 0; r < 8; ++r) Periodic(r, 0.0);
  Restart();
  pump.on_pass = [&](int pass) {
    if (pass == 3) RxFlag = 0;
  };
  loop.Run();
  EXPECT_EQ(pump.passes, 3);
  EXPECT_EQ(writer.frames.size(), 24u);  // three whole passes, no row after the pump
}

TEST_F(SendLoopTest, EveryRowVisitReadsTheClockOnceAndStampsLastVisit) {
  clock.now = 2000.0;
  clock.step = 1.0;
  const int before = clock.readings;
  loop.Pass();
  EXPECT_EQ(clock.readings - before, 8);
  EXPECT_EQ(loop.LastVisit()[0], 2000.0);
  EXPECT_EQ(loop.LastVisit()[7], 2007.0);
  EXPECT_EQ(pump.passes, 1);
}

TEST_F(SendLoopTest, NextDueIsTheEarliestMomentAPassHasWorkFor) {
  constexpr double kNow = -std::numeric_limits<double>::infinity();
  constexpr double kNever = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    std::function<void(CAN_SendDB&)> set;
    double due;
  };
  // Row 2: periodic, 50 ms, 20 ms accumulated by its last visit at 1000.
  const std::vector<Case> cases = {
      {"the period less the accumulation, from the last visit", [](CAN_SendDB&) {}, 1030.0},
      {"nothing on", [](CAN_SendDB& t) { t.set_CAN_SendCycleOperation(2, 0); }, kNever},
      {"a one-shot request", [](CAN_SendDB& t) { t.set_CAN_SendOperation(6, 1); }, kNow},
      {"a request that is not 1", [](CAN_SendDB& t) { t.set_CAN_SendOperation(6, 2); }, 1030.0},
      {"a row that has reached its period", [](CAN_SendDB& t) { t.set_CAN_SendTime(2, 50.0); },
       kNow},
      {"the earlier of two rows",
       [](CAN_SendDB& t) {
         t.set_CAN_SendCycleOperation(5, 1);
         t.set_CAN_SendCycleTime(5, 10.0);
         t.set_CAN_SendTime(5, 0.0);
       },
       1010.0},
      {"a periodic switch that is not 1", [](CAN_SendDB& t) { t.set_CAN_SendCycleOperation(2, 2); },
       kNever},
      {"a row past CAN_Array_MAX", [](CAN_SendDB& t) { t.set_CAN_Array_MAX(1); }, kNever},
      {"a request past CAN_Array_MAX",
       [](CAN_SendDB& t) {
         t.set_CAN_Array_MAX(1);
         t.set_CAN_SendOperation(6, 1);
       },
       kNever},
      {"a period of 0", [](CAN_SendDB& t) { t.set_CAN_SendCycleTime(2, 0.0); }, kNow},
      {"a period that is not a number",
       [](CAN_SendDB& t) { t.set_CAN_SendCycleTime(2, std::nan("")); }, kNever},
      {"an infinite period, copied in at Connect",
       [](CAN_SendDB& t) {
         t.set_CAN_SendCycleTime(2, kNever);
         t.set_CAN_SendTime(2, kNever);
       },
       kNow},
  };
  for (const auto& c : cases) {
    CAN_SendDB table;
    SendLoop fresh(table, RxFlag, clock, writer, pump);
    clock.now = 1000.0;
    fresh.StampLastVisit();
    table.set_CAN_SendCycleOperation(2, 1);
    table.set_CAN_SendCycleTime(2, 50.0);
    table.set_CAN_SendTime(2, 20.0);
    c.set(table);
    EXPECT_EQ(fresh.NextDue(), c.due) << c.what;
  }
}

TEST_F(SendLoopTest, WaitsUntilAMarginBeforeTheDueRowAndNotWhenItIsCloser) {
  Periodic(0, 100.0);
  Restart();
  PassAt(1000.0);
  const double margin = loop.margin().current_ms();
  struct Case {
    double now;
    bool waits;
  };
  for (const Case c : {Case{1000.0, true}, Case{1099.0, true}, Case{1100.0 - margin, false},
                       Case{1099.9, false}, Case{1100.0, false}}) {
    pump.waits.clear();
    clock.now = c.now;
    loop.WaitForNextDue();
    ASSERT_EQ(pump.waits.size(), c.waits ? 1u : 0u) << c.now;
    if (c.waits) {
      EXPECT_NEAR(pump.waits[0], 1100.0 - margin, 1e-6) << c.now;
    }
  }
}

TEST_F(SendLoopTest, WithNothingDueTheLoopStillLooksRoundEveryHundredMilliseconds) {
  Restart();
  PassAt(1000.0);
  loop.WaitForNextDue();
  ASSERT_EQ(pump.waits.size(), 1u);
  EXPECT_NEAR(pump.waits[0], 1000.0 + SendLoop::kLongestWaitMs, 1e-6);
}

TEST_F(SendLoopTest, WaitsNeverLetARowGoOutEarlyOrTwice) {
  Periodic(0, 10.0);
  Periodic(3, 25.0);
  Periodic(6, 7.5);
  Restart();
  // Wake-ups wander from on time to half the margin late.
  RunUntil(1300.0, [](int k) { return 0.03 * (k % 5); });
  for (const auto& [row, period] : {std::pair{0, 10.0}, {3, 25.0}, {6, 7.5}}) {
    const auto times = Times(static_cast<int16_t>(row));
    ASSERT_GE(times.size(), static_cast<size_t>(300.0 / period)) << row;
    for (size_t k = 1; k < times.size(); ++k) {
      EXPECT_GE(times[k] - times[k - 1], period) << row << " frame " << k;
      EXPECT_LT(times[k] - times[k - 1], period + 0.02) << row << " frame " << k;
    }
  }
  EXPECT_FALSE(pump.waits.empty());
  EXPECT_LT(pump.passes, 40 * static_cast<int>(writer.frames.size()));  // slept, not spun
}

TEST_F(SendLoopTest, ALateWakeUpMakesOneFrameLateAndTheNextAFullPeriodAfterIt) {
  Periodic(1, 10.0);
  Restart();
  RunUntil(1045.0, [](int k) { return k == 1 ? 4.0 : 0.0; });  // the second wait: 4 ms late
  const auto times = Times(1);
  ASSERT_GE(times.size(), 5u);
  EXPECT_NEAR(times[1], 1010.0, 0.02);
  EXPECT_GT(times[2], 1023.0);  // due at 1020, woken near 1023.7
  EXPECT_GE(times[3] - times[2], 10.0);
  EXPECT_LT(times[3] - times[2], 10.02);  // neither shortened nor caught up
  EXPECT_GE(times[4] - times[3], 10.0);
}

TEST_F(SendLoopTest, AMarginPushedPastThePeriodIsForgottenAndTheWaitsComeBack) {
  Periodic(0, 0.4);
  Restart();
  // Two wake-ups 4 ms late lift the margin past the 0.4 ms period: the loop
  // then passes without waiting, and learns nothing, until it starts afresh.
  RunUntil(1000.0 + WakeMargin::kForgetAfterMs + 50.0, [](int k) { return k < 2 ? 4.0 : 0.0; });
  ASSERT_GT(pump.waits.size(), 20u);
  EXPECT_LT(pump.waits[1], 1100.0);
  EXPECT_GT(pump.waits[2], 1000.0 + WakeMargin::kForgetAfterMs);
  EXPECT_NEAR(loop.margin().current_ms(), 0.31, 1e-9);
}

TEST_F(SendLoopTest, RowsAMillisecondApartKeepSleepingHoweverLateTheWakeUps) {
  Periodic(0, 1.0);
  Restart();
  RunUntil(1100.0, [](int k) { return k % 3 == 0 ? 4.0 : 0.0; });
  EXPECT_GT(pump.waits.size(), 40u);  // the margin stays below the period
  EXPECT_EQ(loop.margin().current_ms(), WakeMargin::kMaxMs);
}

TEST_F(SendLoopTest, AOneShotPressDuringAWaitGoesOutAtOnce) {
  Periodic(0, 100.0);
  Restart();
  clock.step = 0.001;
  pump.on_wait = [&](double) {
    if (pump.waits.size() == 1) {
      clock.now = 1020.0;  // the click, long before the deadline
      db.set_CAN_SendOperation(5, 1);
    } else {
      RxFlag = 0;
    }
  };
  loop.Run();
  ASSERT_EQ(writer.Rows(), (std::vector<int16_t>{0, 5}));
  EXPECT_NEAR(writer.frames[1].time, 1020.0, 0.02);
  ASSERT_EQ(pump.waits.size(), 2u);
  EXPECT_NEAR(pump.waits[1], 1100.0 - loop.margin().current_ms(), 0.001);  // row 0 not disturbed
}

TEST_F(SendLoopTest, DisconnectDuringAWaitEndsTheLoopWithoutAnotherPass) {
  Periodic(0, 100.0);
  Restart();
  pump.on_wait = [&](double) {
    clock.now = 1030.0;
    RxFlag = 0;
  };
  loop.Run();
  EXPECT_EQ(pump.passes, 1);
  EXPECT_EQ(pump.waits.size(), 1u);
  EXPECT_EQ(writer.frames.size(), 1u);
}

TEST_F(SendLoopTest, OnlyWakeUpsAtOrAfterTheirDeadlineTeachTheMargin) {
  Periodic(0, 100.0);
  Restart();
  PassAt(1000.0);
  const double before = loop.margin().current_ms();
  pump.on_wait = [&](double) { clock.now = 1050.0; };  // an event, not the deadline
  for (int k = 0; k < 200; ++k) loop.WaitForNextDue();
  EXPECT_EQ(loop.margin().current_ms(), before);
  pump.on_wait = [&](double deadline) { clock.now = deadline + 0.04; };
  for (int k = 0; k < 200; ++k) {
    clock.now = 1000.0;
    loop.WaitForNextDue();
  }
  EXPECT_NEAR(loop.margin().current_ms(), 1.5 * 0.04 + 0.01, 1e-6);
}

}  // namespace
}  // namespace telpod
