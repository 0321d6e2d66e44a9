#include "devices/form_bg.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/engine_fakes.h"

namespace telpod {
namespace {

// Without their libraries the vendor families' connections end at the open,
// the board's with the driver as not ready; a window whose message box
// fails lets no exception out. RxFlag is 0 either way.
TEST(FormBG, AbsentLibraryOrFailingWindowLeavesRxFlagAtZero) {
  ELM327_Info device;
  FamilyObjects f;
  CAN_SendDB db;
  int32_t RxFlag = 1;
  test::ScriptedClock clock;
  test::RecordingView view;
  test::RecordingMessages messages;
  test::ScriptedPump pump;
  const DriverSet none;
  FormBG form(RxFlag, clock, view, messages, pump, none);
  EXPECT_EQ(form.Open_InterfaceCAN(device, f.IfCan_u, f.IfCan_d, db),
            f.IfCan_u.IFCAN_ERROR_NOT_READY());
  EXPECT_EQ(RxFlag, 0);
  RxFlag = 1;
  form.Open_CANUSB(device, f.CAN_u, f.CAN_d, db);
  EXPECT_EQ(RxFlag, 0);
  RxFlag = 1;
  form.Open_KvaserCAN(device, f.kvCan_u, f.kvCan_d, db);
  EXPECT_EQ(RxFlag, 0);
  ASSERT_EQ(messages.shown.size(), 3u);
  for (const auto& shown : messages.shown) {
    EXPECT_EQ(shown.text, "機器が正常に動作していません。\r\n接続を終了します。");
  }

  class ThrowingMessages : public platform::MessageBoxes {
   public:
    void Show(const std::string&, const std::string&, platform::MessageIcon) override {
      throw std::runtime_error("no window");
    }
  } throwing;
  FormBG failing(RxFlag, clock, view, throwing, pump, none);
  RxFlag = 1;
  EXPECT_EQ(failing.Open_InterfaceCAN(device, f.IfCan_u, f.IfCan_d, db),
            f.IfCan_u.IFCAN_ERROR_NOT_READY());
  EXPECT_EQ(RxFlag, 0);
}

TEST(Catalogues, IndexOutsideTheArraysReadsEmptyAndWritesNothing) {
  FamilyObjects f;
  for (int16_t index : {-1, 31}) {
    f.CAN_d.set_CAN_USB_FindSerialNo(index, "LW999999");
    f.kvCan_d.set_Kvaser_DevChannel(index, 5);
    EXPECT_EQ(f.CAN_d.CAN_USB_FindSerialNo(index), "");
    EXPECT_EQ(f.kvCan_d.Kvaser_DevChannel(index), 0);
  }
  f.IfCan_d.set_IfCAN_info_ulDeviceID(256, 5);
  EXPECT_EQ(f.IfCan_d.IfCAN_info_ulDeviceID(256), 0);
}

}  // namespace
}  // namespace telpod
