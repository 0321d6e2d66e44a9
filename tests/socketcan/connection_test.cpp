#include <gtest/gtest.h>

#include "devices/socketcan/socketcan_connection.h"
#include "devices/socketcan/socketcan_discovery.h"
#include "fake_socketcan_system.h"
#include "support/engine_fakes.h"

namespace telpod {
namespace {

using test::Controller;
using test::FakeSocketCanSystem;
using test::VirtualLink;
using Calls = std::vector<std::string>;

class SocketCanConnectionTest : public ::testing::Test {
 protected:
  // Puts one interface in the catalogue and chooses it.
  void Choose(FakeSocketCanSystem::Interface interface) {
    kernel.interfaces = {std::move(interface)};
    db.Param_ALL_Clear();
    Find_SocketCAN_Interfaces(device, db, kernel, pump);
    db.set_SocketCAN_SelectNo(1);
    pump.passes = 0;
  }
  // Row 0 sent once, then Disconnect during the first pump.
  int32_t ConnectOnePass() {
    SendDB.set_CAN_SendOperation(0, 1);
    pump.on_pass = [&](int) { RxFlag = 0; };
    return Open_SocketCAN(ctx, db, kernel);
  }
  std::string OnlyMessage() const {
    EXPECT_EQ(messages.shown.size(), 1u);
    return messages.shown.empty() ? "" : messages.shown[0].text;
  }

  ELM327_Info device;
  CAN_SendDB SendDB;
  int32_t RxFlag = 1;
  test::ScriptedClock clock;
  test::RecordingView view;
  test::RecordingMessages messages;
  test::ScriptedPump pump;
  ConnectionContext ctx{device, SendDB, RxFlag, clock, view, messages, pump};
  CAN_DB_SocketCAN db;
  FakeSocketCanSystem kernel;
};

TEST_F(SocketCanConnectionTest, VirtualLinkTakesEveryRateWithoutControllerCalls) {
  Choose(VirtualLink("vcan0"));
  for (int32_t index = 0; index <= 8; ++index) {
    kernel.calls.clear();
    messages.shown.clear();
    RxFlag = 1;
    device.set_t_bitRate(index);
    EXPECT_EQ(ConnectOnePass(), 0);
    EXPECT_EQ(kernel.calls, (Calls{"open:vcan0", "close:7"})) << index;
    EXPECT_EQ(view.TB_Protocol, BitRateLabel(index));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(RxFlag, 0);
  }
  EXPECT_EQ(kernel.written.size(), 9u);
  EXPECT_EQ(db.SocketCAN_Handle(), -1);
}

TEST_F(SocketCanConnectionTest, ControllerAtAnotherRateIsStoppedSetAndStarted) {
  Choose(Controller("can0", CAN_STATE_ERROR_ACTIVE, 500000));
  device.set_t_bitRate(3);
  ConnectOnePass();
  EXPECT_EQ(kernel.calls,
            (Calls{"stop:can0", "set:can0:250000", "start:can0", "open:can0", "close:7"}));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SocketCanConnectionTest, ControllerAtTheRateIsLeftAloneAndAStoppedOneIsStarted) {
  Choose(Controller("can0", CAN_STATE_ERROR_ACTIVE, 500000));
  ConnectOnePass();
  EXPECT_EQ(kernel.calls, (Calls{"open:can0", "close:7"}));

  Choose(Controller("can0", CAN_STATE_STOPPED, 500000));
  kernel.calls.clear();
  RxFlag = 1;
  ConnectOnePass();
  EXPECT_EQ(kernel.calls, (Calls{"start:can0", "open:can0", "close:7"}));

  Choose(Controller("slcan0", CAN_STATE_STOPPED, std::nullopt));  // never given a rate
  kernel.calls.clear();
  RxFlag = 1;
  ConnectOnePass();
  EXPECT_EQ(kernel.calls, (Calls{"set:slcan0:500000", "start:slcan0", "open:slcan0", "close:7"}));
}

TEST_F(SocketCanConnectionTest, RefusedPermissionShowsOneMessageNamingTheCommands) {
  Choose(Controller("can0", CAN_STATE_ERROR_ACTIVE, 125000));
  kernel.stop_result = ControlResult::NotPermitted;
  EXPECT_EQ(ConnectOnePass(), 0);
  EXPECT_EQ(OnlyMessage(),
            "can0 を設定する権限がありません。\r\n"
            "管理者権限で次のコマンドを実行してから、もう一度接続してください。\r\n"
            "ip link set can0 down\r\n"
            "ip link set can0 type can bitrate 500000\r\n"
            "ip link set can0 up\r\n"
            "接続を終了します。");
  EXPECT_EQ(messages.shown[0].title, "TELPOD Ver1.11");
  EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Critical);
  EXPECT_EQ(kernel.calls, (Calls{"stop:can0"}));
  EXPECT_TRUE(kernel.written.empty());
  EXPECT_EQ(RxFlag, 0);
  EXPECT_EQ(pump.passes, 0);
}

TEST_F(SocketCanConnectionTest, StoppedControllerNeedsNoDownCommand) {
  Choose(Controller("can1", CAN_STATE_STOPPED, 1000000));
  kernel.set_result = ControlResult::NotPermitted;
  device.set_t_bitRate(7);
  ConnectOnePass();
  const std::string text = OnlyMessage();
  EXPECT_EQ(text.find("down"), std::string::npos);
  EXPECT_NE(text.find("ip link set can1 type can bitrate 10000\r\nip link set can1 up\r\n"),
            std::string::npos);
}

TEST_F(SocketCanConnectionTest, OtherFailuresEndLikeAnyOpenFailure) {
  const std::string failure = "機器が正常に動作していません。\r\n接続を終了します。";

  // A rate the controller cannot take: it keeps running at its old one.
  Choose(Controller("can0", CAN_STATE_ERROR_ACTIVE, 500000));
  kernel.set_result = ControlResult::Failed;
  device.set_t_bitRate(1);
  ConnectOnePass();
  EXPECT_EQ(OnlyMessage(), failure);
  EXPECT_EQ(kernel.calls, (Calls{"stop:can0", "set:can0:800000", "start:can0"}));

  // The socket cannot be opened (the adapter was unplugged).
  Choose(VirtualLink("vcan0"));
  kernel.open_fails = true;
  messages.shown.clear();
  RxFlag = 1;
  ConnectOnePass();
  EXPECT_EQ(OnlyMessage(), failure);

  // Nothing chosen.
  db.set_SocketCAN_SelectNo(0);
  kernel.calls.clear();
  messages.shown.clear();
  RxFlag = 1;
  ConnectOnePass();
  EXPECT_EQ(OnlyMessage(), failure);
  EXPECT_TRUE(kernel.calls.empty());
  EXPECT_TRUE(kernel.written.empty());
}

TEST_F(SocketCanConnectionTest, IndexOutsideTheTableIsAnUnsupportedRate) {
  Choose(VirtualLink("vcan0"));
  device.set_t_bitRate(9);
  ConnectOnePass();
  EXPECT_EQ(OnlyMessage(), "非対応の通信速度が選択されています。\r\n接続を終了します。");
  EXPECT_TRUE(kernel.calls.empty());
}

TEST_F(SocketCanConnectionTest, RefusedFramesDoNotStopTheLoop) {
  Choose(VirtualLink("vcan0"));
  const auto periodic = [&](int16_t row, uint8_t extended, int32_t id, uint8_t dlc) {
    SendDB.set_CAN_SendCycleOperation(row, 1);
    SendDB.set_CAN_Send29(row, extended);
    SendDB.set_CAN_ID(row, id);
    SendDB.set_CAN_DLC(row, dlc);
  };
  periodic(0, 0, 0x100, 9);      // the kernel refuses nine bytes
  periodic(1, 0, 0x800, 8);      // no standard frame can carry this identifier
  periodic(2, 1, 0x1234567, 2);  // goes out
  SendDB.Timer_Clear();
  pump.on_pass = [&](int pass) {
    if (pass == 3) RxFlag = 0;
  };
  Open_SocketCAN(ctx, db, kernel);
  ASSERT_EQ(kernel.written.size(), 2u);  // one pass, each period due once
  EXPECT_EQ(kernel.written[0].len, 9);
  EXPECT_EQ(kernel.written[1].can_id, 0x1234567u | CAN_EFF_FLAG);
  EXPECT_EQ(pump.passes, 3);
  EXPECT_EQ(kernel.calls.back(), "close:7");
}

}  // namespace
}  // namespace telpod
