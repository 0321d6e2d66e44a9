#include "send/send_loop.h"

#include <gtest/gtest.h>

#include <functional>
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

}  // namespace
}  // namespace telpod
