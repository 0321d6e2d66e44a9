#include <gtest/gtest.h>
#include <linux/can/error.h>

#include <functional>

#include "devices/contract/family_contract.h"
#include "devices/form_bg.h"
#include "devices/socketcan/socketcan_connection.h"
#include "devices/socketcan/socketcan_discovery.h"
#include "devices/socketcan/socketcan_frame.h"
#include "model/row_fields.h"
#include "support/engine_fakes.h"
#include "support/fake_socketcan_system.h"

namespace telpod {
namespace {

using test::Controller;
using test::FakeSocketCanSystem;
using test::FamilyContract;
using test::Situation;
using test::VirtualLink;

can_frame ErrorFrame(canid_t classes, uint8_t controller_problem = 0) {
  can_frame frame{};
  frame.can_id = CAN_ERR_FLAG | classes;
  frame.len = CAN_ERR_DLC;
  frame.data[1] = controller_problem;
  return frame;
}

// The kernel with a controller that is down and a virtual link; the
// controller's writes all fail in the failing situations, its error frames
// telling error passive or bus off.
class SocketCanBench final : public test::FamilyBench {
 public:
  SocketCanBench()
      : FamilyBench({"SocketCAN",
                     {"SocketCAN can0", "SocketCAN vcan0"},
                     {"SocketCAN can0 gs_usb STOPPED", "SocketCAN vcan0 vcan"},
                     {"1000000", "800000", "500000", "250000", "100000", "50000", "20000", "10000",
                      "125000"},
                     {"close:7", "stop:can0"},
                     true}) {}

  void Prepare(Situation situation) override {
    kernel = FakeSocketCanSystem();
    kernel.interfaces = {Controller("can0", CAN_STATE_STOPPED, std::nullopt, "gs_usb"),
                         VirtualLink("vcan0")};
    if (situation == Situation::TwoDevices) return;
    kernel.txqueue = 0;
    if (situation == Situation::ErrorPassive) {
      kernel.error_frames = {ErrorFrame(CAN_ERR_CRTL, CAN_ERR_CRTL_TX_PASSIVE)};
    }
    if (situation == Situation::BusOff) kernel.error_frames = {ErrorFrame(CAN_ERR_BUSOFF)};
  }
  std::vector<std::string> Calls() const override { return kernel.calls; }
  std::vector<std::string> BusFrames() const override {
    std::vector<std::string> frames;
    for (const can_frame& f : kernel.sent) {
      const bool extended = (f.can_id & CAN_EFF_FLAG) != 0;
      const bool remote = (f.can_id & CAN_RTR_FLAG) != 0;
      frames.push_back(test::FrameText(f.can_id & CAN_EFF_MASK, extended, remote, f.len, f.data));
    }
    return frames;
  }
  // The rate the controller was last set to.
  std::string RateOnDevice() const override {
    for (auto call = kernel.calls.rbegin(); call != kernel.calls.rend(); ++call) {
      if (call->starts_with("set:can0:")) return call->substr(9);
    }
    return "";
  }
};

INSTANTIATE_TEST_SUITE_P(SocketCAN, FamilyContract,
                         ::testing::Values(test::MakerOf<SocketCanBench>("SocketCAN")));

class SocketCanTest : public ::testing::Test {
 protected:
  // One connection on a fresh kernel holding `interface`, found and chosen,
  // after `fault`: row 0 sent once, Disconnect in the first pump. What it
  // did: the kernel calls, then "| " and each message shown.
  std::string Connect(
      test::FakeSocketCanSystem::Interface interface, int32_t t_bitRate,
      const std::function<void()>& fault = [] {}) {
    kernel = {};
    kernel.interfaces = {std::move(interface)};
    db.Param_ALL_Clear();
    Find_SocketCAN_Interfaces(db, kernel, pump);
    db.set_SocketCAN_SelectNo(1);
    pump.passes = 0;
    fault();
    device.set_t_bitRate(t_bitRate);
    SendDB.set_CAN_SendOperation(0, 1);
    RxFlag = 1;
    pump.on_pass = [&](int) { RxFlag = 0; };
    messages.shown.clear();
    form.Open_SocketCAN(device, db, kernel, SendDB);
    EXPECT_EQ(pump.passes, messages.shown.empty() ? 1 : 0);
    EXPECT_EQ(RxFlag, 0);
    EXPECT_EQ(db.SocketCAN_Handle(), -1);
    std::string trace;
    for (const auto& call : kernel.calls) trace += call + " ";
    for (const auto& m : messages.shown) {
      trace += "| " + m.text;
      EXPECT_EQ(m.title, "TELPOD Ver1.11");
      EXPECT_EQ(m.icon, platform::MessageIcon::Critical);
    }
    return trace;
  }

  ELM327_Info device;
  CAN_SendDB SendDB;
  int32_t RxFlag = 1;
  test::ScriptedClock clock;
  test::RecordingView view;
  test::RecordingMessages messages;
  test::ScriptedPump pump;
  DriverSet no_vendor_drivers;
  FormBG form{RxFlag, clock, view, messages, pump, no_vendor_drivers};
  CAN_DB_SocketCAN db;
  test::FakeSocketCanSystem kernel;
};

TEST_F(SocketCanTest, DiscoveryListsEveryInterfaceFromIndexOneWithWhatTheKernelReports) {
  kernel.interfaces = {VirtualLink("vcan0"),
                       Controller("can0", CAN_STATE_ERROR_ACTIVE, 500000, "gs_usb"),
                       Controller("slcan0", CAN_STATE_STOPPED, std::nullopt),
                       Controller("can1", CAN_STATE_BUS_OFF, 125000),
                       Controller("can2", 42, std::nullopt),
                       {"odd0", SocketCanLink{}}};
  // A kernel without CAN support: no mask bit, and its names are stale.
  kernel.raw_sockets = false;
  EXPECT_FALSE(Check_SocketCAN_Driver(kernel));
  Find_SocketCAN_Interfaces(db, kernel, pump);
  EXPECT_EQ(db.SocketCAN_FindCount(), 0);

  kernel.raw_sockets = true;
  EXPECT_TRUE(Check_SocketCAN_Driver(kernel));
  Find_SocketCAN_Interfaces(db, kernel, pump);
  EXPECT_EQ(db.SocketCAN_FindCount(), 6);
  EXPECT_EQ(pump.passes, 6);
  EXPECT_TRUE(kernel.calls.empty());  // discovery changes no controller
  std::string lines;
  for (int32_t selected = -1; selected <= 7; ++selected) {
    db.set_SocketCAN_SelectNo(selected);
    lines += SocketCAN_InfoLine(kernel, db) + "\n";
  }
  EXPECT_EQ(lines,
            "\n\nSocketCAN vcan0 vcan\nSocketCAN can0 gs_usb ERROR-ACTIVE 500000 bit/s\n"
            "SocketCAN slcan0 can STOPPED\nSocketCAN can1 can BUS-OFF 125000 bit/s\n"
            "SocketCAN can2 can STATE-42\nSocketCAN odd0\n\n");

  // The catalogue stops at its capacity and ignores indexes beyond.
  for (int n = 0; n < 30; ++n) kernel.interfaces.push_back(VirtualLink("vcan" + std::to_string(n)));
  db.Param_ALL_Clear();
  Find_SocketCAN_Interfaces(db, kernel, pump);
  EXPECT_EQ(db.SocketCAN_FindCount(), 30);
  EXPECT_EQ(db.SocketCAN_IfName(30), "vcan23");
  db.set_SocketCAN_IfName(31, "x");
  db.set_SocketCAN_IfName(-1, "x");
  EXPECT_EQ(db.SocketCAN_IfName(31) + db.SocketCAN_IfName(-1), "");
}

TEST(SocketCanFrame, CarriesTheFormatTheIdentifierTheStoredLengthAndEveryByte) {
  CAN_SendDB db;
  for (int n = 1; n <= 8; ++n) db.set_CAN_Data(n, 0, static_cast<uint8_t>(0x11 * n));
  const auto frame = [&](uint8_t extended, int32_t id, uint8_t dlc) {
    db.set_CAN_Send29(0, extended);
    db.set_CAN_ID(0, id);
    db.set_CAN_DLC(0, dlc);
    const auto f = SocketCAN_Frame(FrameOfRow(db, 0));
    if (!f) return std::string("none");
    std::string text = FormatHex(f->can_id) + ":" + std::to_string(f->len) + ":";
    for (uint8_t byte : f->data) text += FormatByteHex(byte);
    return text;
  };
  EXPECT_EQ(frame(1, 0x1FFFFFFF, 8), "9FFFFFFF:8:1122334455667788");
  EXPECT_EQ(frame(1, 0x7FF, 0), "800007FF:0:1122334455667788");
  EXPECT_EQ(frame(0, 0x7FF, 3), "7FF:3:1122334455667788");  // bytes past the length too
  EXPECT_EQ(frame(0, 0, 9), "0:9:1122334455667788");        // for the kernel to refuse
  // Identifiers outside their format give no frame rather than one cut down.
  EXPECT_EQ(frame(0, 0x800, 8) + frame(1, 0x20000000, 8) + frame(0, -1, 8) + frame(1, -1, 8),
            "nonenonenonenone");
}

// Row 0's nine bytes the kernel refuses, and the loop goes on to row 1.
TEST_F(SocketCanTest, VirtualLinkTakesEveryRateWithoutControllerCalls) {
  SendDB.set_CAN_DLC(0, 9);
  SendDB.set_CAN_SendCycleOperation(1, 1);
  for (int32_t index = 0; index <= 8; ++index) {
    SendDB.Timer_Clear();
    EXPECT_EQ(Connect(VirtualLink("vcan0"), index), "open:vcan0 write:1:9 write:1:8 close:7 ")
        << index;
    EXPECT_EQ(view.TB_Protocol, BitRateLabel(index));
  }
}

TEST_F(SocketCanTest, AControllerIsLeftAsItWasFound) {
  const auto active = Controller("can0", CAN_STATE_ERROR_ACTIVE, 500000);
  const auto stopped = Controller("can0", CAN_STATE_STOPPED, 500000);
  // Up at the chosen rate: used as it is, and left up.
  EXPECT_EQ(Connect(active, 2), "open:can0 write:1:8 close:7 ");
  // Down: set as far as needed, brought up, and down again at the end.
  EXPECT_EQ(Connect(stopped, 2), "start:can0 open:can0 write:1:8 close:7 stop:can0 ");
  EXPECT_EQ(Connect(stopped, 3),
            "set:can0:250000 start:can0 open:can0 write:1:8 close:7 stop:can0 ");
  EXPECT_EQ(Connect(Controller("slcan0", CAN_STATE_STOPPED, std::nullopt), 2),  // no rate yet
            "set:slcan0:500000 start:slcan0 open:slcan0 write:1:8 close:7 stop:slcan0 ");

  // Up at another rate: other programs may be using it, so nothing changes;
  // the message names its rate and the commands that would change it.
  const std::string commands =
      "を実行してから、もう一度接続してください。\r\nip link set can0 down\r\n"
      "ip link set can0 type can bitrate 250000\r\nip link set can0 up\r\n接続を終了します。";
  EXPECT_EQ(Connect(active, 3),
            "| can0 は 500000 bit/s で動作しています。ほかのプログラムが使っているかもしれない"
            "ため、通信速度は変更しません。\r\n250000 bit/s で接続するには、管理者権限で次の"
            "コマンド" +
                commands);
  const std::string unknown = Connect(Controller("can0", CAN_STATE_ERROR_PASSIVE, std::nullopt), 3);
  EXPECT_EQ(unknown.rfind("| can0 は 不明な通信速度 で動作しています。", 0), 0u) << unknown;

  const std::string failed = "| 機器が正常に動作していません。\r\n接続を終了します。";
  // A rate the controller cannot take: it stays down, untouched otherwise.
  EXPECT_EQ(Connect(stopped, 1, [&] { kernel.set_result = ControlResult::Failed; }),
            "set:can0:800000 " + failed);
  // Brought up, but no socket: down again.
  EXPECT_EQ(Connect(stopped, 2, [&] { kernel.open_fails = true; }),
            "start:can0 open:can0 stop:can0 " + failed);
  EXPECT_EQ(Connect(VirtualLink("vcan0"), 2, [&] { kernel.open_fails = true; }),
            "open:vcan0 " + failed);
  EXPECT_EQ(Connect(VirtualLink("vcan0"), 2, [&] { db.set_SocketCAN_SelectNo(0); }), failed);
  EXPECT_EQ(Connect(VirtualLink("vcan0"), 9),
            "| 非対応の通信速度が選択されています。\r\n接続をを終了します。");

  // Refused permission for a controller that is down: the commands that
  // bring it up.
  const std::string refused =
      " を設定する権限がありません。\r\n"
      "管理者権限で次のコマンドを実行してから、もう一度接続してください。\r\n";
  EXPECT_EQ(
      Connect(Controller("can1", CAN_STATE_STOPPED, 1000000), 7,
              [&] { kernel.set_result = ControlResult::NotPermitted; }),
      "set:can1:10000 | can1" + refused +
          "ip link set can1 type can bitrate 10000\r\nip link set can1 up\r\n接続を終了します。");
  EXPECT_EQ(Connect(stopped, 2, [&] { kernel.start_result = ControlResult::NotPermitted; }),
            "start:can0 | can0" + refused +
                "ip link set can0 type can bitrate 500000\r\nip link set can0 up\r\n"
                "接続を終了します。");
}

// A data frame whose identifier happens to have an error class's bit.
can_frame DataFrame(canid_t id) {
  can_frame frame = ErrorFrame(0);
  frame.can_id = id;
  return frame;
}

TEST(SocketCanBusState, ErrorFramesAndLinkStatesMapOntoTheBusState) {
  using enum BusState;
  const std::tuple<BusState, can_frame, BusState> frames[] = {
      {Normal, ErrorFrame(CAN_ERR_BUSOFF), BusOff},
      {ErrorPassive, ErrorFrame(CAN_ERR_BUSOFF | CAN_ERR_CRTL, CAN_ERR_CRTL_ACTIVE), BusOff},
      {Normal, ErrorFrame(CAN_ERR_CRTL, CAN_ERR_CRTL_TX_PASSIVE), ErrorPassive},
      {Normal, ErrorFrame(CAN_ERR_CRTL, CAN_ERR_CRTL_RX_PASSIVE | CAN_ERR_CRTL_TX_WARNING),
       ErrorPassive},
      {ErrorPassive, ErrorFrame(CAN_ERR_CRTL, CAN_ERR_CRTL_RX_WARNING), ErrorWarning},
      {ErrorWarning, ErrorFrame(CAN_ERR_CRTL, CAN_ERR_CRTL_ACTIVE), Normal},
      // An overflow changes nothing; neither does a frame that is no error.
      {ErrorWarning, ErrorFrame(CAN_ERR_CRTL, CAN_ERR_CRTL_TX_OVERFLOW), ErrorWarning},
      {ErrorWarning, DataFrame(CAN_ERR_BUSOFF), ErrorWarning},
      {BusOff, ErrorFrame(CAN_ERR_RESTARTED), Normal},
      {BusOff, ErrorFrame(CAN_ERR_RESTARTED | CAN_ERR_CRTL, CAN_ERR_CRTL_TX_WARNING), ErrorWarning},
  };
  for (const auto& [before, frame, after] : frames) {
    EXPECT_EQ(SocketCAN_ErrorFrameBusState(before, frame), after) << std::hex << frame.can_id;
  }
  const std::pair<int32_t, BusState> links[] = {{CAN_STATE_ERROR_ACTIVE, Normal},
                                                {CAN_STATE_ERROR_WARNING, ErrorWarning},
                                                {CAN_STATE_ERROR_PASSIVE, ErrorPassive},
                                                {CAN_STATE_BUS_OFF, BusOff},
                                                {CAN_STATE_STOPPED, Normal},
                                                {42, Normal}};
  for (const auto& [state, bus] : links) EXPECT_EQ(SocketCAN_LinkBusState(state), bus) << state;
}

// Rows 0 (one-shot), 1 and 2 written in the one pass; the queue takes
// `txqueue` of them; the controller's error frames wait on the socket.
TEST_F(SocketCanTest, ALonelyBusShowsTheFailedWritesAndTheStateOfTheErrorFrames) {
  SendDB.set_CAN_SendCycleOperation(1, 1);
  SendDB.set_CAN_SendCycleOperation(2, 1);
  const auto lonely = [&](int txqueue, std::vector<can_frame> errors) {
    return [&, txqueue, errors] {
      SendDB.Timer_Clear();
      kernel.txqueue = txqueue;
      kernel.error_frames.assign(errors.begin(), errors.end());
    };
  };
  const auto up = Controller("can0", CAN_STATE_ERROR_ACTIVE, 500000);
  const std::string writes = "open:can0 write:1:8 write:1:8 write:1:8 close:7 ";
  const auto warning = ErrorFrame(CAN_ERR_CRTL, CAN_ERR_CRTL_TX_WARNING);
  const std::tuple<FakeSocketCanSystem::Interface, std::function<void()>, const char*> cases[] = {
      {up, lonely(1, {warning, ErrorFrame(CAN_ERR_CRTL, CAN_ERR_CRTL_TX_PASSIVE)}),
       "通信中（送信エラー 2、エラーパッシブ）"},
      // What the kernel said of the controller at the open holds until an
      // error frame says otherwise.
      {Controller("can0", CAN_STATE_ERROR_PASSIVE, 500000), lonely(3, {}),
       "通信中（エラーパッシブ）"},
      {Controller("can0", CAN_STATE_BUS_OFF, 500000), lonely(0, {ErrorFrame(CAN_ERR_RESTARTED)}),
       "通信中（送信エラー 3）"},
  };
  for (const auto& [interface, setup, status] : cases) {
    EXPECT_EQ(Connect(interface, 2, setup), writes);
    EXPECT_EQ(view.final_status, status);
    EXPECT_TRUE(kernel.error_frames.empty());
  }
}

}  // namespace
}  // namespace telpod
