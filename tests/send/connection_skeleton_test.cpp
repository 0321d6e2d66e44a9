#include "send/connection_skeleton.h"

#include <gtest/gtest.h>

#include "support/engine_fakes.h"

namespace telpod {
namespace {

using test::RecordingMessages;
using test::RecordingView;
using test::ScriptedClock;
using test::ScriptedPump;

// A family whose device calls go into the view's history, so the test sees
// them interleaved with the status texts.
class FakeFamily : public FamilyConnection {
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
  platform::SourceText OpenFailureLine() const override { return {"Test", "接続を終了します。"}; }
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
  void WriteRow(const CAN_SendDB&, int16_t i) override {
    log_.push_back("write:" + std::to_string(i));
  }
  int32_t Close() override {
    log_.push_back("close");
    return 42;
  }
  bool supports_rate = true;
  bool opens = true;

 private:
  std::vector<std::string>& log_;
};

class ConnectionSkeletonTest : public ::testing::Test {
 protected:
  ConnectionSkeletonTest() { db.set_CAN_SendOperation(5, 1); }

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
  EXPECT_EQ(view.history, (std::vector<std::string>{"rate:8", "open", "protocol:125k bps",
                                                    "configure", "status:通信中", "bus-on",
                                                    "write:5", "status:終了処理中", "close"}));
  EXPECT_EQ(RxFlag, 0);
  EXPECT_EQ(pump.passes, 1);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ConnectionSkeletonTest, UnsupportedRateShowsItsMessageAndTouchesNoDevice) {
  family.supports_rate = false;
  device.set_t_bitRate(1);
  EXPECT_EQ(RunConnection(ctx, family), 0);
  EXPECT_EQ(view.history, (std::vector<std::string>{"rate:1"}));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "非対応の通信速度が選択されています。\r\n接続を終了します。");
  EXPECT_EQ(messages.shown[0].title, "TELPOD Ver1.11");
  EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Critical);
  EXPECT_EQ(RxFlag, 0);
}

TEST_F(ConnectionSkeletonTest, OpenFailureShowsTheFamilysMessageAndReturnsItsCloseResult) {
  family.opens = false;
  EXPECT_EQ(RunConnection(ctx, family), -7);
  EXPECT_EQ(view.history, (std::vector<std::string>{"rate:2", "open", "close-after-failure"}));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "機器が正常に動作していません。\r\n接続を終了します。");
  EXPECT_EQ(RxFlag, 0);
  EXPECT_EQ(pump.passes, 0);
}

TEST_F(ConnectionSkeletonTest, ExceptionInsideTheLoopStillClosesTheDevice) {
  pump.on_pass = [](int) { throw std::runtime_error("handler failed"); };
  EXPECT_EQ(RunConnection(ctx, family), 42);
  EXPECT_EQ(view.history.back(), "close");
  EXPECT_EQ(RxFlag, 0);
}

}  // namespace
}  // namespace telpod
