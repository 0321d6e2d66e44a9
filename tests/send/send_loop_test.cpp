#include "send/send_loop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <tuple>
#include <utility>

#include "support/engine_fakes.h"
#include "support/replay_fakes.h"

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
  void RunUntil(double end, std::function<double(int)> lateness) {
    clock.step = 0.001;
    pump.on_wait = [this, lateness](double deadline) {
      const int k = static_cast<int>(pump.waits.size()) - 1;
      clock.now = std::max(clock.now, deadline + lateness(k));
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

// Row 0 is late at 1499: that frame goes out, 1200..1400 are not caught up
// and its schedule restarts there, so 1500 has nothing for it. Periods of
// zero or less send at every pass, even with no time gone by; a period
// lowered below the time accumulated is due at the next pass.
TEST_F(SendLoopTest, RowsGoOutInRowOrderAtTheirPeriodAndLatenessIsNotCaughtUp) {
  Periodic(3, 500.0);
  Periodic(0, 100.0);
  Periodic(5, 0.0);
  Periodic(6, -3.0);
  Restart();
  PassAt(1000.0);
  EXPECT_EQ(writer.Rows(), (std::vector<int16_t>{0, 3, 5, 6}));
  for (double t : {1000.0, 1099.0, 1100.0, 1499.0, 1500.0}) PassAt(t);
  EXPECT_EQ(Times(0), (std::vector<double>{1000.0, 1100.0, 1499.0}));
  EXPECT_EQ(Times(5).size(), 6u);
  EXPECT_EQ(Times(6).size(), 6u);
  PassAt(1700.0);
  db.set_CAN_SendCycleTime(3, 150.0);
  PassAt(1700.5);
  EXPECT_EQ(Times(3), (std::vector<double>{1000.0, 1500.0, 1700.5}));
}

TEST_F(SendLoopTest, DueRowWithPendingRequestIsWrittenTwiceOneShotFirst) {
  Periodic(4, 50.0);
  Restart();
  db.set_CAN_SendOperation(4, 1);
  db.set_CAN_SendOperation(6, 1);
  db.set_CAN_SendOperation(2, 2);  // only 1 asks for a frame
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
// never written, once or periodically, and a request on it is dropped, not
// kept; on an extended row it is an ordinary identifier. Only 1 means
// extended, so a switch stored as 2 counts as standard.
TEST_F(SendLoopTest, IdentifiersAbove7FFOnStandardRowsAreNeverWritten) {
  const std::tuple<int16_t, int32_t, uint8_t, int32_t> rows[] = {
      // row, identifier, extended, periodic (else a one-shot request)
      {0, 0x800, 0, 1}, {1, 0x800, 1, 1}, {2, 0x7FF, 0, 1}, {3, 0x800, 2, 1},
      {4, 0x800, 0, 0}, {5, 0x800, 1, 0}, {6, 0x7FF, 2, 0}, {7, 0x800, 2, 0}};
  for (const auto& [row, id, ext, periodic] : rows) {
    Periodic(row, 100.0, id, ext);
    db.set_CAN_SendCycleOperation(row, periodic);
  }
  Restart();
  for (int16_t row : {4, 5, 6, 7}) db.set_CAN_SendOperation(row, 1);
  for (double t = 1000.0; t <= 1300.0; t += 50.0) PassAt(t);
  EXPECT_EQ(writer.Rows(), (std::vector<int16_t>{1, 2, 5, 6, 1, 2, 1, 2, 1, 2}));
  for (int16_t row : {4, 7}) EXPECT_EQ(db.CAN_SendOperation(row), 0) << row;
}

// Switched off (only 1 is on), or an 11-bit row given an identifier above
// 0x7FF: either way the row waits, its accumulation keeps its value and
// LastVisit moves on, so the time it waited is not counted.
TEST_F(SendLoopTest, TimeSpentSwitchedOffOrUnsendableIsNotCounted) {
  const std::function<void()> pauses[] = {
      [&] { db.set_CAN_SendCycleOperation(0, 0); },
      [&] { db.set_CAN_SendCycleOperation(0, 2); },
      [&] { db.set_CAN_ID(0, 0x800); },
  };
  for (const auto& pause : pauses) {
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
    Periodic(0, 100.0, 0x7FF);
    PassAt(11090.0);  // 60 + 30: not yet due
    EXPECT_EQ(writer.frames.size(), 1u);
    PassAt(11100.0);
    EXPECT_EQ(writer.frames.size(), 2u);
  }
}

// The window changes the table inside a wait, having brought the rows up to
// that moment: row 0 (period 1000, sent at 1000) is paused at 1630 and
// resumed at 11680, each in the middle of a 100 ms wait. It keeps the 630 it
// had and needs 370 more, as a loop passing all the time would give; the
// pause's ten seconds and the rest of either wait are not counted.
TEST_F(SendLoopTest, ATableChangedDuringAWaitCountsFromTheChange) {
  struct Case {
    const char* what;
    int32_t id;
    uint8_t ext;
    std::function<void()> pause, resume;
  };
  const Case cases[] = {
      {"switched off", 0x7FF, 0, [&] { db.set_CAN_SendCycleOperation(0, 0); },
       [&] { db.set_CAN_SendCycleOperation(0, 1); }},
      {"a switch stored as 2", 0x7FF, 0, [&] { db.set_CAN_SendCycleOperation(0, 2); },
       [&] { db.set_CAN_SendCycleOperation(0, 1); }},
      {"an identifier above 7FF", 0x7FF, 0, [&] { db.set_CAN_ID(0, 0x800); },
       [&] { db.set_CAN_ID(0, 0x7FF); }},
      {"the 29-bit box unticked", 0x800, 1, [&] { db.set_CAN_Send29(0, 0); },
       [&] { db.set_CAN_Send29(0, 1); }},
      {"a 29-bit switch stored as 2", 0x800, 1, [&] { db.set_CAN_Send29(0, 2); },
       [&] { db.set_CAN_Send29(0, 1); }},
  };
  for (const auto& c : cases) {
    writer.frames.clear();
    clock = ScriptedClock();
    Periodic(0, 1000.0, c.id, c.ext);
    Restart();
    std::vector<std::pair<double, std::function<void()>>> changes = {{1630.0, c.pause},
                                                                     {11680.0, c.resume}};
    double kept = 0.0;
    clock.step = 0.001;
    RxFlag = 1;
    pump.on_pass = [&](int) {
      if (clock.now >= 13100.0) RxFlag = 0;
    };
    pump.on_wait = [&](double deadline) {
      if (changes.empty() || changes.front().first > deadline) {
        clock.now = std::max(clock.now, deadline);
        return;
      }
      clock.now = changes.front().first;  // the screen copy wakes the wait
      kept = db.CAN_SendTime(0);
      loop.BringRowsUpToDate();
      changes.front().second();
      changes.erase(changes.begin());
    };
    loop.Run();
    const auto times = Times(0);
    EXPECT_NEAR(kept, 630.0, 0.01) << c.what;  // what the pause left, as the resume found it
    const double due[] = {1000.0, 11680.0 + 370.0, 11680.0 + 370.0 + 1000.0};
    ASSERT_EQ(times.size(), 3u) << c.what;
    for (size_t k = 0; k < 3; ++k) {
      EXPECT_GE(times[k], due[k]) << c.what << " frame " << k;
      EXPECT_LT(times[k], due[k] + 0.02) << c.what << " frame " << k;  // within a pass or two
    }
  }
}

// Each row visit reads the clock once and stamps its LastVisit.
TEST_F(SendLoopTest, RowCountIsReReadBeforeEveryRowAndNeverRunsPastTheTable) {
  struct Shrinker : RowWriter {
    explicit Shrinker(CAN_SendDB& t) : table(t) {}
    void WriteRow(const CAN_SendDB&, int16_t i) override {
      rows.push_back(i);
      if (i == 2 && rows.size() > 8) table.set_CAN_Array_MAX(3);  // in the second pass
    }
    CAN_SendDB& table;
    std::vector<int16_t> rows;
  } shrinker(db);
  for (int16_t r = 0; r < 8; ++r) Periodic(r, 0.0);
  db.set_CAN_Array_MAX(100);
  SendLoop shrinking(db, RxFlag, clock, shrinker, pump);
  clock.now = 2000.0;
  clock.step = 1.0;
  const int before = clock.readings;
  shrinking.Pass();
  EXPECT_EQ(clock.readings - before, 8);
  EXPECT_EQ(shrinking.LastVisit()[7], 2007.0);
  shrinking.Pass();
  EXPECT_EQ(shrinker.rows, (std::vector<int16_t>{0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3}));
}

// Disconnect clears the flag inside the event pump: no wait or pass follows.
TEST_F(SendLoopTest, RunStopsWhenTheFlagDropsInsideTheEventPump) {
  Periodic(0, 100.0);
  Restart();
  pump.on_pass = [&](int) { RxFlag = 0; };
  loop.Run();
  EXPECT_EQ(pump.passes, 1);
  EXPECT_TRUE(pump.waits.empty());
  EXPECT_EQ(writer.frames.size(), 1u);
}

TEST_F(SendLoopTest, NextDueIsTheEarliestMomentAPassHasWorkFor) {
  constexpr double kNow = -std::numeric_limits<double>::infinity();
  constexpr double kNever = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    int32_t on;  // row 2's switch, period and accumulation; row 1 is due at 1040
    double period, accumulated;
    int32_t request;  // row 6's, whose identifier is 0x800
    uint8_t ext;      // row 6's 29-bit switch
    int32_t max;      // CAN_Array_MAX
    double due;
  };
  const Case cases[] = {
      {"the period less the accumulation, from the last visit", 1, 50, 20, 0, 1, 7, 1030.0},
      {"row 2 off", 0, 50, 20, 0, 1, 7, 1040.0},
      {"a periodic switch that is not 1", 2, 50, 20, 0, 1, 7, 1040.0},
      {"a one-shot request", 1, 50, 20, 1, 1, 7, kNow},
      {"a request that is not 1", 1, 50, 20, 2, 1, 7, 1030.0},
      {"a request on a standard row", 1, 50, 20, 1, 0, 7, 1030.0},
      {"a request on a row whose switch is 2", 1, 50, 20, 1, 2, 7, 1030.0},
      {"a row that has reached its period", 1, 50, 50, 0, 1, 7, kNow},
      {"rows past CAN_Array_MAX", 1, 50, 20, 1, 1, 1, 1040.0},
      {"no row in reach", 1, 50, 20, 1, 1, 0, kNever},
      {"a period of 0", 1, 0, 20, 0, 1, 7, kNow},
      {"a period that is not a number", 1, std::nan(""), 20, 0, 1, 7, 1040.0},
      {"an infinite period, copied in at Connect", 1, kNever, kNever, 0, 1, 7, kNow},
  };
  for (const auto& c : cases) {
    db = CAN_SendDB();
    clock.now = 1000.0;
    loop.StampLastVisit();
    Periodic(1, 40.0);
    db.set_CAN_SendTime(1, 0.0);
    Periodic(2, c.period);
    db.set_CAN_SendCycleOperation(2, c.on);
    db.set_CAN_SendTime(2, c.accumulated);
    db.set_CAN_SendOperation(6, c.request);
    db.set_CAN_ID(6, 0x800);
    db.set_CAN_Send29(6, c.ext);
    db.set_CAN_Array_MAX(c.max);
    EXPECT_EQ(loop.NextDue(), c.due) << c.what;
  }
}

// With nothing due the loop still looks round every tenth of a second.
TEST_F(SendLoopTest, WaitsUntilAMarginBeforeTheDueRowAndNotWhenItIsCloser) {
  Periodic(0, 100.0);
  Restart();
  PassAt(1000.0);
  const double wake = 1100.0 - loop.margin().current_ms(), none = 0.0;
  const std::tuple<int32_t, double, double> cases[] = {
      // periodic switch, now, wait until
      {1, 1000.0, wake},  {1, 1099.0, wake}, {1, wake, none},
      {1, 1099.9, none},  {1, 1100.0, none}, {0, 1000.0, 1000.0 + SendLoop::kLongestWaitMs},
      {0, 1234.0, 1334.0}};
  for (const auto& [on, now, until] : cases) {
    db.set_CAN_SendCycleOperation(0, on);
    pump.waits.clear();
    clock.now = now;
    loop.WaitForNextDue();
    ASSERT_EQ(pump.waits.size(), until == none ? 0u : 1u) << now;
    if (until != none) {
      EXPECT_NEAR(pump.waits[0], until, 1e-6) << now;
    }
  }
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

// A wake-up before its deadline (a click, other events) serves the click
// at once, leaves row 0's deadline as it was and teaches the margin
// nothing; wake-ups after it teach their lateness past that deadline. A
// disconnect inside a wait ends the loop without another pass.
TEST_F(SendLoopTest, EarlyWakeUpsServeTheClickAndOnlyLateOnesTeachTheMargin) {
  Periodic(0, 100.0);
  Restart();
  clock.step = 0.001;
  const double margin = loop.margin().current_ms();
  pump.on_wait = [&](double deadline) {
    const size_t k = pump.waits.size();
    if (k == 1) db.set_CAN_SendOperation(5, 1);
    clock.now = k == 1 ? 1020.0 : k <= 200 ? clock.now + 0.1 : deadline + (k < 400 ? 0.04 : 1.0);
    if (k == 400) RxFlag = 0;  // row 0 due, yet no pass follows
  };
  loop.Run();
  ASSERT_EQ(Times(5).size(), 1u);
  EXPECT_NEAR(Times(5)[0], 1020.0, 0.02);
  ASSERT_EQ(pump.waits.size(), 400u);
  EXPECT_NEAR(pump.waits[1], 1100.0 - margin, 0.001);
  EXPECT_NEAR(pump.waits[199], 1100.0 - margin, 0.001);
  EXPECT_NEAR(loop.margin().current_ms(), 1.5 * 0.04 + 0.01, 1e-6);
  EXPECT_LT(writer.frames.back().time, pump.waits.back());
}

// A replay joined to the loop is one more timetable: its frames and row
// 0's each go out at their own times, never early, and waits end before
// a replay frame as before a row. Stopped inside a wait, the replay sends
// nothing more while the row goes on.
TEST_F(SendLoopTest, AReplayPlaysBesideTheRowsOnOneTimetable) {
  const std::vector<double> offsets = {0.0, 3.0, 7.5, 12.25, 30.0, 41.0};
  std::vector<RecordedFrame> frames;
  for (double ms : offsets) frames.push_back(test::RecordedAt(500.0 + ms));
  ReplaySlot slot;
  slot.Load(std::make_unique<ReplaySchedule>(std::make_unique<test::FramesInMemory>(frames),
                                             ReplayOptions{}));
  test::RecordingSender sender(clock);
  loop.Join(slot, sender);
  Periodic(0, 10.0);
  Restart();
  clock.step = 0.001;
  pump.on_wait = [&](double deadline) {
    clock.now = std::max(clock.now, deadline + 0.03 * static_cast<double>(pump.waits.size() % 5));
    if (clock.now >= 1035.0) slot.schedule()->Stop();
  };
  pump.on_pass = [&](int) {
    if (clock.now >= 1060.0) RxFlag = 0;
  };
  loop.Run();
  ASSERT_EQ(sender.sent.size(), 5u);
  for (size_t k = 0; k < sender.sent.size(); ++k) {
    const double after_first = sender.sent[k].time - sender.sent[0].time;
    EXPECT_GE(after_first, offsets[k] - 0.002) << k;
    EXPECT_LT(after_first, offsets[k] + 0.2) << k;
  }
  EXPECT_TRUE(std::any_of(pump.waits.begin(), pump.waits.end(),
                          [](double w) { return w > 1002.4 && w < 1003.0; }));
  const auto rows = Times(0);
  ASSERT_GE(rows.size(), 6u);
  EXPECT_GE(rows.back(), 1050.0);
  for (size_t k = 1; k < rows.size(); ++k) EXPECT_GE(rows[k] - rows[k - 1], 10.0) << k;
}

}  // namespace
}  // namespace telpod
