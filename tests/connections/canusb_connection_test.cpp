#include "connection_fixture.h"

namespace telpod {
namespace {

using test::Bytes;
using test::Raw;

class CanusbConnectionTest : public test::ConnectionTest {
 protected:
  void SetUp() override {
    ConnectionTest::SetUp();
    view.sim = &usb;
    CAN_d.set_CAN_USB_FindCount(1);
    CAN_d.set_CAN_USB_FindSerialNo(1, "LWSIM001");
    CAN_d.set_CAN_USB_SelectNo(1);
    CAN_d.set_CAN_USB_SelectSerial("LWSIM001");
  }
  void Run() {
    Connect();
    form.Open_CANUSB(device, CAN_u, CAN_d, db);
  }

  CANUSB CAN_u;
  CAN_DB CAN_d;
};

TEST_F(CanusbConnectionTest, RecordsOfAnElevenAndATwentyNineBitRow) {
  SendElevenAndTwentyNineBitRows();
  Run();
  const auto frames = usb.Frames();
  ASSERT_EQ(frames.size(), 2u);
  // Identifier as stored, time stamp 0, flags, length as stored, all eight
  // data bytes, two zero bytes of padding.
  EXPECT_EQ(Raw(frames[0]), Bytes({0xDF, 0x07, 0,    0,    0,    0,    0,    0,    0x00, 3,
                                   0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0,    0}));
  EXPECT_EQ(Raw(frames[1]), Bytes({0x10, 0xF1, 0xDA, 0x18, 0,    0,    0,    0,    0x80, 8,
                                   0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0,    0}));
  EXPECT_EQ(frames[1].extended, 1);
}

TEST_F(CanusbConnectionTest, LengthAboveEightIsHandedOverUnchanged) {
  SetRow(0, 0x100, false, 12, 0);
  OneShot(0);
  DisconnectAfter(1);
  Run();
  EXPECT_EQ(usb.LastRecord("canusb_Write")[9], 12);
  EXPECT_TRUE(usb.Frames().empty());  // the adapter refuses it
}

TEST_F(CanusbConnectionTest, OpensWithTheRateTextOfEveryIndex) {
  const char* texts[] = {"1000", "800", "500", "250", "100", "50", "20", "10", "125"};
  const char* labels[] = {"1M bps",  "800k bps", "500k bps", "250k bps", "100k bps",
                          "50k bps", "20k bps",  "10k bps",  "125k bps"};
  for (int32_t index = 0; index <= 8; ++index) {
    usb.Reset();
    view.history.clear();
    device.set_t_bitRate(index);
    DisconnectAfter(1);
    Run();
    EXPECT_EQ(usb.CallsStartingWith("canusb_Open"),
              (std::vector<std::string>{"canusb_Open(\"LWSIM001\",\"" + std::string(texts[index]) +
                                        "\",0,4294967295,1)"}));
    EXPECT_EQ(view.history.front(), "protocol:" + std::string(labels[index]) + "@1");
    EXPECT_EQ(CAN_d.CAN_USB_Handle(), 1);
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CanusbConnectionTest, IndexOutsideTheTableOpensWithAnEmptyText) {
  device.set_t_bitRate(9);
  Run();
  EXPECT_EQ(usb.CallLog(),
            (std::vector<std::string>{"canusb_Open(\"LWSIM001\",\"\",0,4294967295,1)"}));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(RxFlag, 0);
}

TEST_F(CanusbConnectionTest, CallsAndTextsInOrderUntilDisconnect) {
  SetRow(2, 0x123, false, 1, 0);
  Periodic(2, 0.0);
  DisconnectAfter(3);
  Run();
  EXPECT_EQ(usb.CallLog(),
            (std::vector<std::string>{"canusb_Open(\"LWSIM001\",\"500\",0,4294967295,1)",
                                      "canusb_Write(1)", "canusb_Write(1)", "canusb_Write(1)",
                                      "canusb_Close(1)"}));
  EXPECT_EQ(view.history, (std::vector<std::string>{"protocol:500k bps@1", "status:通信中@1",
                                                    "status:終了処理中@4"}));
  EXPECT_EQ(pump.passes, 3);
  EXPECT_EQ(RxFlag, 0);
}

TEST_F(CanusbConnectionTest, OpenFailureShowsItsMessageAndClosesNothing) {
  usb.Configure("canusb serial=LWSIM001 open=fail\n");
  Run();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "機器が正常に動作していません。\r\nアプリケーションを終了します。");
  EXPECT_EQ(messages.shown[0].title, "TELPOD Ver1.11");
  EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Critical);
  EXPECT_EQ(usb.Calls("canusb_Close"), 0);
  EXPECT_EQ(CAN_d.CAN_USB_Handle(), -2);
  EXPECT_TRUE(view.history.empty());
  EXPECT_EQ(RxFlag, 0);
}

TEST_F(CanusbConnectionTest, WriteFailuresChangeNothingInTheSchedule) {
  auto connect = [&] { form.Open_CANUSB(device, CAN_u, CAN_d, db); };
  const auto healthy = WritesPerPass(connect, usb, "canusb_Write");
  usb.Configure("canusb serial=LWSIM001 write=-5\n");
  const auto failing = WritesPerPass(connect, usb, "canusb_Write");
  EXPECT_EQ(failing, healthy);
  EXPECT_GT(healthy.back(), 40);
  EXPECT_TRUE(usb.Frames().empty());
}

TEST_F(CanusbConnectionTest, AbsentLibraryOrFailingWindowLeavesRxFlagAtZero) {
  drivers.canusb.reset();
  Run();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(RxFlag, 0);

  class ThrowingMessages : public platform::MessageBoxes {
   public:
    void Show(const std::string&, const std::string&, platform::MessageIcon) override {
      throw std::runtime_error("no window");
    }
  } throwing;
  FormBG failing(RxFlag, clock, view, throwing, pump, drivers);
  Connect();
  EXPECT_NO_THROW(failing.Open_CANUSB(device, CAN_u, CAN_d, db));
  EXPECT_EQ(RxFlag, 0);
}

}  // namespace
}  // namespace telpod
