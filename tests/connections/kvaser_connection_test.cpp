#include "connection_fixture.h"

namespace telpod {
namespace {

using test::Bytes;
using test::CallsFrom;
using test::Raw;

class KvaserConnectionTest : public test::ConnectionTest {
 protected:
  void SetUp() override {
    ConnectionTest::SetUp();
    view.sim = &kvaser;
    kvaser.Configure("kvaser name=a\nkvaser name=b\nkvaser name=c\n");
    // CANlib is initialised once at start-up, not by the connection.
    drivers.canlib->canInitializeLibrary();
    kvCan_d.set_Kvaser_FindCount(2);
    kvCan_d.set_Kvaser_DevChannel(0, 0);
    kvCan_d.set_Kvaser_DevChannel(1, 2);
    kvCan_d.set_KvCAN_SelectNo(1);
  }
  void Run() {
    Connect();
    form.Open_KvaserCAN(device, kvCan_u, kvCan_d, db);
  }
  std::vector<std::string> ConnectionCalls() const { return CallsFrom(kvaser, 1); }

  KvaserCAN kvCan_u;
  CAN_DB_Kvaser kvCan_d;
};

TEST_F(KvaserConnectionTest, WritesAnElevenAndATwentyNineBitRow) {
  SendElevenAndTwentyNineBitRows();
  Run();
  EXPECT_EQ(kvaser.CallsStartingWith("canWrite"),
            (std::vector<std::string>{"canWrite(0,2015,3,2)", "canWrite(0,417001744,8,4)"}));
  const auto frames = kvaser.Frames();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(Raw(frames[0]), Bytes({0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18}));
  EXPECT_EQ(Raw(frames[1]), Bytes({0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8}));
  EXPECT_EQ(frames[1].id, 0x18DAF110u);
}

TEST_F(KvaserConnectionTest, SetsTheBusParametersOfEverySupportedIndex) {
  const std::pair<int32_t, int> rates[] = {{0, -1}, {2, -2}, {3, -3}, {4, -5},
                                           {5, -7}, {7, -9}, {8, -4}};
  for (const auto& [index, constant] : rates) {
    device.set_t_bitRate(index);
    DisconnectAfter(1);
    const size_t before = kvaser.CallLog().size();
    Run();
    const auto calls = CallsFrom(kvaser, before);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[1], "canSetBusParams(0," + std::to_string(constant) + ",5,2,1,1,0)");
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(KvaserConnectionTest, UnsupportedRatesShowTheirMessageWithoutAnyDriverCall) {
  for (int32_t index : {1, 6, 9}) {
    messages.shown.clear();
    device.set_t_bitRate(index);
    Run();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, test::kUnsupportedRateMessage);
    EXPECT_TRUE(ConnectionCalls().empty()) << index;
    EXPECT_EQ(RxFlag, 0);
  }
}

TEST_F(KvaserConnectionTest, CallsAndTextsInOrderUntilDisconnect) {
  SetRow(0, 0x100, false, 8, 0);
  OneShot(0);
  DisconnectAfter(2);
  Run();
  EXPECT_EQ(ConnectionCalls(),
            (std::vector<std::string>{"canOpenChannel(0,128)", "canSetBusParams(0,-2,5,2,1,1,0)",
                                      "canBusOn(0)", "canWrite(0,256,8,2)", "canBusOff(0)",
                                      "canClose(0)"}));
  // Bus parameters go before the running status, bus-on after it.
  EXPECT_EQ(view.history, (std::vector<std::string>{"protocol:500k bps@2", "status:通信中@3",
                                                    "status:終了処理中@5"}));
  EXPECT_EQ(kvCan_d.KvCAN_Handle(), "0");
  EXPECT_EQ(RxFlag, 0);
}

TEST_F(KvaserConnectionTest, SecondCatalogueEntryOpensItsChannel) {
  kvCan_d.set_KvCAN_SelectNo(2);
  DisconnectAfter(1);
  Run();
  EXPECT_EQ(kvaser.CallsStartingWith("canOpenChannel"),
            (std::vector<std::string>{"canOpenChannel(2,128)"}));
}

TEST_F(KvaserConnectionTest, OpenFailureShowsItsMessageAndClosesNothing) {
  kvaser.Configure("kvaser name=a held\n");
  drivers.canlib->canInitializeLibrary();
  Run();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "機器が正常に動作していません。\r\nアプリケーションを終了します。");
  EXPECT_EQ(ConnectionCalls(), (std::vector<std::string>{"canOpenChannel(0,128)"}));
  EXPECT_EQ(kvCan_d.KvCAN_Handle(), "0");
  EXPECT_EQ(RxFlag, 0);
}

TEST_F(KvaserConnectionTest, WriteFailuresChangeNothingInTheSchedule) {
  auto connect = [&] { form.Open_KvaserCAN(device, kvCan_u, kvCan_d, db); };
  const auto healthy = WritesPerPass(connect, kvaser, "canWrite");
  kvaser.Configure("kvaser name=a write=-13\n");
  drivers.canlib->canInitializeLibrary();
  const auto failing = WritesPerPass(connect, kvaser, "canWrite");
  EXPECT_EQ(failing, healthy);
  EXPECT_TRUE(kvaser.Frames().empty());
}

}  // namespace
}  // namespace telpod
