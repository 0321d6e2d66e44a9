#include "connection_fixture.h"
#include "devices/le_bytes.h"

namespace telpod {
namespace {

using test::Bytes;
using test::Raw;

class IfCanConnectionTest : public test::ConnectionTest {
 protected:
  void SetUp() override {
    ConnectionTest::SetUp();
    view.sim = &boards;
    boards.Configure("ifcan port=1\nifcan port=4 config=7,0xA1,0xA2,0xA3,0xA4,0xA5,9\n");
    IfCan_d.set_Interface_CAN_FindCount(2);
    IfCan_d.set_Interface_CAN_FindNo(1, 1);
    IfCan_d.set_Interface_CAN_FindNo(2, 4);
    IfCan_d.set_Interface_CAN_SelectNo(2);
  }
  int32_t Run() {
    Connect();
    return form.Open_InterfaceCAN(device, IfCan_u, IfCan_d, db);
  }

  InterfaceCAN IfCan_u;
  CAN_DB_Interface IfCan_d;
};

TEST_F(IfCanConnectionTest, RecordsOfAnElevenAndATwentyNineBitRow) {
  SendElevenAndTwentyNineBitRows();
  EXPECT_EQ(Run(), 0);
  const auto frames = boards.Frames();
  ASSERT_EQ(frames.size(), 2u);
  // Length, reserved word, identifier (bit 31 for 29 bits), data, zero word.
  EXPECT_EQ(Raw(frames[0]),
            Bytes({3,    0,    0,    0,    0,    0,    0,    0,    0xDF, 0x07, 0, 0,
                   0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0,    0,    0, 0}));
  EXPECT_EQ(Raw(frames[1]),
            Bytes({8,    0,    0,    0,    0,    0,    0,    0,    0x10, 0xF1, 0xDA, 0x98,
                   0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0,    0,    0,    0}));
  EXPECT_EQ(frames[0].device, 4);
}

TEST_F(IfCanConnectionTest, ConfigurationKeepsTheBoardsWordsAndSetsModeAndRate) {
  const int32_t expected_code[] = {39, 0, 295, 570, 2358, 7459, 0, 0, 1338};
  for (int32_t index : {0, 2, 3, 4, 5, 8}) {
    boards.Configure("ifcan port=4 config=7,0xA1,0xA2,0xA3,0xA4,0xA5,9\n");
    device.set_t_bitRate(index);
    DisconnectAfter(1);
    Run();
    // Mode word normal, the board's five words, then the rate code.
    std::vector<uint8_t> expected(28);
    const uint32_t words[] = {
        0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, static_cast<uint32_t>(expected_code[index])};
    for (size_t w = 0; w < 7; ++w) PutLe32(expected.data() + 4 * w, words[w]);
    EXPECT_EQ(boards.LastRecord("CanSetConfig"), expected) << index;
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(IfCanConnectionTest, UnsupportedRatesShowTheirMessageWithoutAnyDriverCall) {
  for (int32_t index : {1, 6, 7, 9, -1}) {
    messages.shown.clear();
    device.set_t_bitRate(index);
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, test::kUnsupportedRateMessage);
    EXPECT_EQ(messages.shown[0].title, "TELPOD Ver1.11");
    EXPECT_TRUE(boards.CallLog().empty()) << index;
    EXPECT_EQ(RxFlag, 0);
  }
}

TEST_F(IfCanConnectionTest, CallsAndTextsInOrderUntilDisconnect) {
  device.set_t_bitRate(8);
  SetRow(0, 0x100, false, 8, 0);
  OneShot(0);
  DisconnectAfter(2);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(boards.CallLog(),
            (std::vector<std::string>{"CanOpenPort(\"IFCAN4\")", "CanGetConfig(2)",
                                      "CanSetConfig(2)", "CanActivate(2)", "CanSendMessage(2,1)",
                                      "CanDeactivate(2)", "CanClosePort(2)"}));
  EXPECT_EQ(view.history, (std::vector<std::string>{"protocol:125k bps@2", "status:通信中@2",
                                                    "status:終了処理中@5"}));
  EXPECT_EQ(IfCan_d.Interface_CAN_Handle(), "2");
}

TEST_F(IfCanConnectionTest, ReturnsTheStatusOfTheLastClose) {
  boards.Configure("ifcan port=4 close=0xC000000D\n");
  DisconnectAfter(1);
  EXPECT_EQ(Run(), static_cast<int32_t>(0xC000000Du));
  EXPECT_EQ(IfCan_u.Get_Status_Message(static_cast<int32_t>(0xC000000Du)),
            "USB communicate Timeout.");
}

TEST_F(IfCanConnectionTest, RefusedConfigurationClosesThenClosesAgainWithMinusOne) {
  boards.Configure("ifcan port=4 getconfig=0xC0000009\n");
  const int32_t status = Run();
  EXPECT_EQ(boards.CallLog(),
            (std::vector<std::string>{"CanOpenPort(\"IFCAN4\")", "CanGetConfig(1)",
                                      "CanClosePort(1)", "CanDeactivate(-1)", "CanClosePort(-1)"}));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "機器が正常に動作していません。\r\n接続を終了します。");
  EXPECT_EQ(IfCan_d.Interface_CAN_Handle(), "-1");
  EXPECT_EQ(IfCan_u.Get_Status_Message(status), "The device handle is invalid.");
  EXPECT_TRUE(view.history.empty());
  EXPECT_EQ(RxFlag, 0);
}

TEST_F(IfCanConnectionTest, PortThatDoesNotOpenEndsTheSameWay) {
  boards.Configure("ifcan port=4 open=fail\n");
  EXPECT_EQ(Run(), static_cast<int32_t>(0xC000000Au));
  EXPECT_EQ(boards.CallLog(), (std::vector<std::string>{"CanOpenPort(\"IFCAN4\")",
                                                        "CanGetConfig(-1)", "CanClosePort(-1)",
                                                        "CanDeactivate(-1)", "CanClosePort(-1)"}));
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(IfCanConnectionTest, WriteFailuresChangeNothingInTheSchedule) {
  auto connect = [&] { form.Open_InterfaceCAN(device, IfCan_u, IfCan_d, db); };
  boards.Configure("ifcan port=4\n");
  const auto healthy = WritesPerPass(connect, boards, "CanSendMessage");
  boards.Configure("ifcan port=4\nfault CanSendMessage result=0xC0000007\n");
  const auto failing = WritesPerPass(connect, boards, "CanSendMessage");
  EXPECT_EQ(failing, healthy);
  EXPECT_TRUE(boards.Frames().empty());
}

TEST_F(IfCanConnectionTest, AbsentLibraryGivesTheOpenFailureAndANotReadyStatus) {
  drivers.ifcan.reset();
  EXPECT_EQ(IfCan_u.Get_Status_Message(Run()), "The current driver cannot be used.");
  EXPECT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(RxFlag, 0);
}

}  // namespace
}  // namespace telpod
