#include "send/connection_skeleton.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <utility>

#include "support/engine_fakes.h"

namespace telpod {
namespace {

using test::RecordingMessages;
using test::RecordingView;
using test::ScriptedClock;
using test::ScriptedPump;

// A family whose device calls go into the view's history, so the test sees
// them interleaved with the status texts; it may also watch the writes.
class FakeFamily : public FamilyConnection, public WriteObserver {
 public:
  explicit FakeFamily(RecordingView& view) : log_(view.history) {}
  bool SelectRate(int32_t index) override {
    log_.push_back("rate:" + std::to_string(index));
    return supports_rate;
  }
  bool Open() override {
    log_.push_back("open");
    return opens;
  }
  int32_t CloseAfterFailedOpen() override {
    log_.push_back("close-after-failure");
    return -7;
  }
  void Start(LoopStart& start) override {
    log_.push_back("configure");
    start.StampLastVisit();
    start.ShowRunning();
    log_.push_back("bus-on");
  }
  bool WriteFrame(const CanFrame& frame) override {
    log_.push_back("write:" + std::to_string(frame.id));
    frames.push_back(frame);
    return refused_ids.count(frame.id) == 0 && refused_writes.count(frames.size()) == 0;
  }
  void Written(const CanFrame& frame, bool taken) override {
    log_.push_back("seen:" + std::to_string(frame.id) + (taken ? ":taken" : ":refused"));
  }
  BusState ReadBusState() override { return state; }
  int32_t Close() override {
    log_.push_back("close");
    return 42;
  }
  bool supports_rate = true;
  bool opens = true;
  std::set<uint32_t> refused_ids;
  std::set<size_t> refused_writes;  // by number, 1 for the first write
  std::vector<CanFrame> frames;
  BusState state = BusState::Normal;

 private:
  std::vector<std::string>& log_;
};

class ConnectionSkeletonTest : public ::testing::Test {
 protected:
  ConnectionSkeletonTest() {
    db.set_CAN_SendOperation(5, 1);
    db.set_CAN_ID(5, 5);
  }

  ELM327_Info device;
  CAN_SendDB db;
  int32_t RxFlag = 1;
  ScriptedClock clock;
  RecordingView view;
  RecordingMessages messages;
  ScriptedPump pump;
  ConnectionContext ctx{device, db, RxFlag, clock, view, messages, pump};
  FakeFamily family{view};
};

TEST_F(ConnectionSkeletonTest, RunsOpenLabelStartLoopAndCloseInOrder) {
  device.set_t_bitRate(8);
  pump.on_pass = [&](int) { RxFlag = 0; };  // Disconnect during the first pump
  EXPECT_EQ(RunConnection(ctx, family), 42);
  // The view may ask the connection from the loop's start until its end,
  // before the closing status.
  EXPECT_EQ(view.history,
            (std::vector<std::string>{"rate:8", "open", "protocol:125k bps", "configure",
                                      "status:通信中", "bus-on", "loop-started", "write:5",
                                      "loop-ended:通信中", "status:終了処理中", "close"}));
  EXPECT_EQ(RxFlag, 0);
  EXPECT_EQ(pump.passes, 1);
  EXPECT_TRUE(messages.shown.empty());
}

// A rate the family lacks touches no device; a device that does not open
// gets the family's message and its close result. Neither reaches the loop.
TEST_F(ConnectionSkeletonTest, UnsupportedRateOrFailedOpenShowsItsMessageAndNeverLoops) {
  family.supports_rate = false;
  device.set_t_bitRate(1);
  EXPECT_EQ(RunConnection(ctx, family), 0);
  EXPECT_EQ(std::exchange(RxFlag, 1), 0);
  family.supports_rate = true;
  family.opens = false;
  EXPECT_EQ(RunConnection(ctx, family), -7);
  EXPECT_EQ(RxFlag, 0);
  EXPECT_EQ(pump.passes, 0);
  EXPECT_EQ(view.history,
            (std::vector<std::string>{"rate:1", "rate:1", "open", "close-after-failure"}));
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text, "非対応の通信速度が選択されています。\r\n接続をを終了します。");
  EXPECT_EQ(messages.shown[1].text, "機器が正常に動作していません。\r\n接続を終了します。");
  for (const auto& shown : messages.shown) {
    EXPECT_EQ(shown.title, "TELPOD Ver1.11");
    EXPECT_EQ(shown.icon, platform::MessageIcon::Critical);
  }
}

TEST_F(ConnectionSkeletonTest, ExceptionInsideTheLoopStillEndsTheViewsLookAndClosesTheDevice) {
  pump.on_pass = [](int) { throw std::runtime_error("handler failed"); };
  EXPECT_EQ(RunConnection(ctx, family), 42);
  const std::vector<std::string> end(view.history.end() - 3, view.history.end());
  EXPECT_EQ(end, (std::vector<std::string>{"loop-ended:通信中", "status:終了処理中", "close"}));
  EXPECT_EQ(RxFlag, 0);
}

// Rows 1 and 6 go out at every pass, a one-shot on row 5 in the first; the
// device refuses rows 5 and 6 (identifiers 5 and 6) and is error passive.
// Each refusal is counted and the loop goes on; a watcher learns of each
// frame right after its write. A new connection counts from zero.
TEST_F(ConnectionSkeletonTest, RefusedFramesAreCountedAndEveryWriteIsSeen) {
  for (int16_t row : {1, 6}) {
    db.set_CAN_SendCycleOperation(row, 1);
    db.set_CAN_SendCycleTime(row, 0.0);
  }
  db.set_CAN_ID(1, 0x7DF);
  db.set_CAN_ID(6, 6);
  family.refused_ids = {5, 6};
  family.state = BusState::ErrorPassive;
  ctx.extras.writes = &family;
  pump.on_pass = [&](int n) {
    if (n == 2) RxFlag = 0;
  };
  RunConnection(ctx, family);
  std::vector<std::string> writes;
  for (const auto& entry : view.history) {
    if (entry.rfind("write:", 0) == 0 || entry.rfind("seen:", 0) == 0) writes.push_back(entry);
  }
  EXPECT_EQ(writes,
            (std::vector<std::string>{"write:2015", "seen:2015:taken", "write:5", "seen:5:refused",
                                      "write:6", "seen:6:refused", "write:2015", "seen:2015:taken",
                                      "write:6", "seen:6:refused"}));
  EXPECT_EQ(view.final_status, "通信中（送信エラー 3、エラーパッシブ）");
  EXPECT_EQ(view.taken_bits, 2 * 135);  // the two standard 8-byte frames taken
  FakeFamily next(view);
  RxFlag = 1;
  pump.on_pass = [&](int) { RxFlag = 0; };
  RunConnection(ctx, next);
  EXPECT_EQ(view.final_status, "通信中");
  EXPECT_EQ(view.taken_bits, 2 * 135);
}

// One taken and one refused row at every pass, a pass every 10 ms of the
// loop's clock: the load asked for between passes is the taken frames'
// bits over the last second, or over the time since the loop started
// while that is shorter.
TEST_F(ConnectionSkeletonTest, TheBitsTakenOverTheLastSecondAreCountedAtTheLoopsClock) {
  for (int16_t row : {1, 6}) {
    db.set_CAN_SendCycleOperation(row, 1);
    db.set_CAN_SendCycleTime(row, 0.0);
    db.set_CAN_ID(row, row);
  }
  db.set_CAN_Send29(1, 1);
  db.set_CAN_SendOperation(5, 0);
  family.refused_ids = {6};
  std::vector<double> per_second;
  pump.on_pass = [&](int n) {
    clock.now += 10.0;
    if (n == 50 || n == 150) per_second.push_back(view.live->TakenBitsPerSecond());
    if (n == 150) RxFlag = 0;
  };
  RunConnection(ctx, family);
  // 100 extended 8-byte frames a second; after 1.5 s the frame of the
  // millisecond the window starts in has left it.
  EXPECT_EQ(per_second, (std::vector<double>{100 * 160, 99 * 160}));
  EXPECT_EQ(view.taken_bits, 150 * 160);
}

// Inside a wait the window brings the rows up to date, then switches row 2
// off: the 40 ms before the switch count, the rest of the wait does not.
// Once the loop has ended the call reaches no loop.
TEST_F(ConnectionSkeletonTest, TheViewBringsTheRunningLoopsRowsUpToDateBeforeAChange) {
  db.set_CAN_SendCycleOperation(2, 1);
  db.set_CAN_SendCycleTime(2, 1000.0);
  db.set_CAN_SendTime(2, 100.0);
  pump.on_wait = [&](double) {
    clock.now += 40.0;
    view.live->BringRowsUpToDate();
    db.set_CAN_SendCycleOperation(2, 0);
    clock.now += 60.0;
    RxFlag = 0;
  };
  RunConnection(ctx, family);
  EXPECT_EQ(db.CAN_SendTime(2), 140.0);
  db.set_CAN_SendCycleOperation(2, 1);
  clock.now += 500.0;
  family.BringRowsUpToDate();
  EXPECT_EQ(db.CAN_SendTime(2), 140.0);
}

// Row 1 goes out at every pass, with a counter 0..3 in the high nibble of
// D1 and the XOR of D1..D7 in D8; in pass 2 a one-shot press of the same row
// comes first and its write is refused, so the periodic frame after it
// carries the same value. In pass 5 the rule changes: its own start value
// from then on; in pass 7 it is gone. Row 6 has no rule. A new connection
// starts the counter again.
TEST_F(ConnectionSkeletonTest, RuledRowsCountTakenFramesInOneSequenceAndFollowChanges) {
  RowRules rules;
  const CounterRule high_nibble{1, 4, 4, 0, 1, 3};
  rules.Set(1, {high_nibble, ChecksumRule{8, ChecksumAlgorithm::Xor, {}, {}}});
  ctx.extras.rules = &rules;
  db.set_CAN_SendOperation(5, 0);
  for (int16_t row : {1, 6}) {
    db.set_CAN_SendCycleOperation(row, 1);
    db.set_CAN_SendCycleTime(row, 0.0);
    db.set_CAN_ID(row, row);
    db.set_CAN_DLC(row, 8);
    for (int n = 1; n <= 7; ++n) db.set_CAN_Data(n, row, static_cast<uint8_t>(n));
  }
  family.refused_writes = {3};
  pump.on_pass = [&](int n) {
    if (n == 1) db.set_CAN_SendOperation(1, 1);
    if (n == 4) rules.Set(1, {CounterRule{1, 4, 4, 2, 2, 15}, rules.Of(1).checksum});
    if (n == 6) rules.Set(1, {});
    if (n == 7) RxFlag = 0;
  };
  const auto run = [&](FakeFamily& f) {
    RunConnection(ctx, f);
    std::vector<std::string> row1;
    for (const CanFrame& frame : f.frames) {
      if (frame.id == 6) {
        EXPECT_EQ(frame.data, db.DataBytes(6));
        continue;
      }
      char bytes[8];
      std::snprintf(bytes, sizeof bytes, "%02X %02X", frame.data[0], frame.data[7]);
      row1.emplace_back(bytes);
    }
    return row1;
  };
  // D8 = 0x01 ^ 0x02 ^ ... ^ 0x07 ^ the counter in D1's high nibble = 0x00 ^ (c << 4).
  EXPECT_EQ(run(family), (std::vector<std::string>{"01 00", "11 10", "11 10", "21 20", "31 30",
                                                   "21 20", "41 40", "01 00"}));
  FakeFamily next(view);
  rules.Set(1, {high_nibble, {}});
  RxFlag = 1;
  pump.passes = 0;
  pump.on_pass = [&](int n) {
    if (n == 2) RxFlag = 0;
  };
  EXPECT_EQ(run(next), (std::vector<std::string>{"01 00", "11 00"}));
}

TEST(ConnectionStatus, TheRunningTextNamesFailedWritesAndAnyStateButNormal) {
  const std::tuple<int64_t, BusState, const char*> cases[] = {
      {0, BusState::Normal, "通信中"},
      {1, BusState::Normal, "通信中（送信エラー 1）"},
      {12, BusState::BusOff, "通信中（送信エラー 12、バスオフ）"},
      {0, BusState::ErrorPassive, "通信中（エラーパッシブ）"},
      {0, BusState::ErrorWarning, "通信中（エラーワーニング）"},
      {10000000000, BusState::ErrorPassive, "通信中（送信エラー 10000000000、エラーパッシブ）"},
  };
  for (const auto& [failed, state, text] : cases) {
    EXPECT_EQ(RunningStatusText(failed, state), text);
  }
}

TEST(ConnectionStatus, TheGravestStateWhoseBitsAreSetWins) {
  const BusStateBits bits{0x80, 0x20 | 0x10, 0x04};
  const std::pair<unsigned long, BusState> cases[] = {
      {0x00, BusState::Normal},       {0x43, BusState::Normal},
      {0x04, BusState::ErrorWarning}, {0x10, BusState::ErrorPassive},
      {0x24, BusState::ErrorPassive}, {0xFF, BusState::BusOff},
      {0x80, BusState::BusOff},
  };
  for (const auto& [status, state] : cases) EXPECT_EQ(BusStateOf(status, bits), state) << status;
  // A library without a bus-off bit never reports one.
  EXPECT_EQ(BusStateOf(~0ul, {0, 0x20, 0x04}), BusState::ErrorPassive);
}

}  // namespace
}  // namespace telpod
