#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <utility>

#include "abi/le_bytes.h"
#include "devices/canusb/canusb_connection.h"
#include "devices/connections/connection_fixture.h"
#include "devices/ifcan/ifcan_connection.h"
#include "devices/kvaser/kvaser_connection.h"
#include "devices/socketcan/socketcan_connection.h"
#include "model/bit_rate_table.h"
#include "support/fake_socketcan_system.h"

namespace telpod {
namespace {

using test::ConnectionTest;
using test::FakeSocketCanSystem;
using ::testing::Contains;
using Log = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

// Every family: the connection ends, the program goes on.
constexpr const char* kOpenFailure = "機器が正常に動作していません。\r\n接続を終了します。";
constexpr const char* kUsbOpen = "canusb_Open(\"LWSIM001\",\"500\",0,4294967295,1)";

// Bytes from hex digits; blanks only group them.
Bytes Hex(const std::string& digits) {
  Bytes bytes;
  for (size_t i = 0; i < digits.size(); i += digits[i] == ' ' ? 1 : 2) {
    if (digits[i] != ' ') bytes.push_back(std::stoi(digits.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

TEST_F(ConnectionTest, EachDriverReceivesTheRecordsOfAnElevenAndATwentyNineBitRow) {
  // Row 0: 11-bit 0x7DF, DLC 3, data 11..18; row 1: 29-bit 0x18DAF110, DLC 8,
  // data A1..A8; both sent once in the first pass.
  SetRow(0, 0x7DF, false, 3, 0x11);
  SetRow(1, 0x18DAF110, true, 8, 0xA1);
  const std::tuple<Family, const char*, const char*> cases[] = {
      // Identifier, time stamp 0, flags, length, all eight data bytes, padding.
      {Family::CANUSB, "DF070000 00000000 00 03 1112131415161718 0000",
       "10F1DA18 00000000 80 08 A1A2A3A4A5A6A7A8 0000"},
      // Length, reserved word, identifier (bit 31 for 29 bits), data, zero word.
      {Family::Interface, "03000000 00000000 DF070000 1112131415161718 00000000",
       "08000000 00000000 10F1DA98 A1A2A3A4A5A6A7A8 00000000"},
      // CANlib reads the frame's own bytes only.
      {Family::Kvaser, "111213", "A1A2A3A4A5A6A7A8"},
  };
  for (const auto& [family, first, second] : cases) {
    db.set_CAN_SendOperation(0, 1);
    db.set_CAN_SendOperation(1, 1);
    Run(family);
    const auto frames = Sim(family).Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(Bytes(frames[0].raw, frames[0].raw + frames[0].raw_size), Hex(first));
    EXPECT_EQ(Bytes(frames[1].raw, frames[1].raw + frames[1].raw_size), Hex(second));
  }
  // CANlib takes the identifier unchanged, with flag 2 (standard) or 4 (extended).
  EXPECT_EQ(kvaser.CallsStartingWith("canWrite"),
            (Log{"canWrite(0,2015,3,2)", "canWrite(0,417001744,8,4)"}));
}

TEST_F(ConnectionTest, CanusbHandsALengthAboveEightOverUnchanged) {
  SetRow(0, 0x100, false, 12, 0);
  db.set_CAN_SendOperation(0, 1);
  Run(Family::CANUSB);
  EXPECT_EQ(usb.LastRecord("canusb_Write")[9], 12);
}

// A bit-rate index, its label, and what each family hands its driver: the
// CANUSB text, the board's code, CANlib's constant; 0: not offered.
constexpr std::tuple<int32_t, const char*, const char*, int32_t, int32_t> kRates[] = {
    {0, "1M bps", "1000", 39, -1},    {1, "800k bps", "800", 0, 0},
    {2, "500k bps", "500", 295, -2},  {3, "250k bps", "250", 570, -3},
    {4, "100k bps", "100", 2358, -5}, {5, "50k bps", "50", 7459, -7},
    {6, "20k bps", "20", 0, 0},       {7, "10k bps", "10", 0, -9},
    {8, "125k bps", "125", 1338, -4}, {9, nullptr, "", 0, 0},
    {-1, nullptr, "", 0, 0}};

TEST_F(ConnectionTest, CanusbOpensWithTheRateTextOfEveryIndex) {
  for (const auto& [index, label, text, board_code, kvaser_code] : kRates) {
    device.set_t_bitRate(index);
    Run(Family::CANUSB);
    const std::string open =
        "canusb_Open(\"LWSIM001\",\"" + std::string(text) + "\",0,4294967295,1)";
    // Outside the table the text is empty, and the adapter refuses it.
    const Log journal = label ? Log{open,
                                    std::string("protocol:") + label,
                                    "status:通信中",
                                    "canusb_GetStatistics(1)",
                                    "canusb_Status(1)",
                                    "live:通信中",
                                    "status:終了処理中",
                                    "canusb_Close(1)"}
                              : Log{open};
    EXPECT_EQ(Journal(Family::CANUSB), journal);
    if (label) {
      EXPECT_TRUE(messages.shown.empty());
    } else {
      ExpectMessage(kOpenFailure);
    }
    EXPECT_EQ(RxFlag, 0);
  }
}

TEST_F(ConnectionTest, BoardAndChannelGetTheirRateCodeOrTheMessageBeforeAnyCall) {
  for (const auto& [index, label, text, board_code, kvaser_code] : kRates) {
    device.set_t_bitRate(index);
    for (Family f : {Family::Interface, Family::Kvaser}) {
      SCOPED_TRACE(index);
      Run(f);
      const int32_t code = f == Family::Interface ? board_code : kvaser_code;
      if (code == 0) {
        ExpectMessage("非対応の通信速度が選択されています。\r\n接続をを終了します。");
        EXPECT_TRUE(Journal(f).empty());
        EXPECT_EQ(RxFlag, 0);
      } else if (f == Family::Interface) {
        // Mode word normal, the board's own five words, then the rate code.
        Bytes config = Hex("00000000 A1000000 A2000000 A3000000 A4000000 A5000000 00000000");
        PutLe32(config.data() + 24, static_cast<uint32_t>(code));
        EXPECT_THAT(Journal(f), Contains("CanSetConfig(2)"));
        EXPECT_EQ(boards.LastRecord("CanSetConfig"), config);
      } else {
        const std::string bus = "canSetBusParams(0," + std::to_string(code) + ",5,2,1,1,0)";
        EXPECT_THAT(Journal(f), Contains(bus));
      }
    }
  }
}

TEST_F(ConnectionTest, DisconnectDuringTheLoopEndsWithTheCloseCalls) {
  SetRow(2, 0x123, false, 1, 0);
  Periodic(2, 0.0);
  DisconnectAfter(2);
  boards.Configure("ifcan port=1\nifcan port=4 close=0xC000000D\n");
  const std::pair<Family, Log> cases[] = {
      {Family::CANUSB,
       {kUsbOpen, "protocol:500k bps", "status:通信中", "canusb_Write(1)", "canusb_Write(1)",
        "canusb_GetStatistics(1)", "canusb_Status(1)", "live:通信中", "status:終了処理中",
        "canusb_Close(1)"}},
      {Family::Interface,
       {"CanOpenPort(\"IFCAN4\")", "CanGetConfig(2)", "protocol:500k bps", "status:通信中",
        "CanSetConfig(2)", "CanActivate(2)", "CanSendMessage(2,1)", "CanSendMessage(2,1)",
        "live:通信中", "status:終了処理中", "CanDeactivate(2)", "CanClosePort(2)"}},
      // Bus parameters go before the running status, bus-on after it.
      {Family::Kvaser,
       {"canOpenChannel(0,128)", "protocol:500k bps", "canSetBusParams(0,-2,5,2,1,1,0)",
        "status:通信中", "canBusOn(0)", "canWrite(0,291,1,2)", "canWrite(0,291,1,2)",
        "canReadStatus(0)", "live:通信中", "status:終了処理中", "canBusOff(0)", "canClose(0)"}},
  };
  for (const auto& [family, journal] : cases) {
    // The board routine returns the status of its last close.
    EXPECT_EQ(Run(family), family == Family::Interface ? static_cast<int32_t>(0xC000000Du) : 0);
    EXPECT_EQ(Journal(family), journal);
    EXPECT_EQ(RxFlag, 0);
  }
}

TEST_F(ConnectionTest, SecondKvaserEntryOpensItsChannel) {
  kvCan_d.set_KvCAN_SelectNo(2);
  Run(Family::Kvaser);
  EXPECT_EQ(Journal(Family::Kvaser).front(), "canOpenChannel(2,128)");
}

// The board routine returns the status of its close with handle -1; the
// others close nothing. All say the same: the connection ends.
TEST_F(ConnectionTest, OpenFailureShowsItsMessageAndClosesOnlyWhatItMust) {
  const std::tuple<Family, const char*, const char*, Log> cases[] = {
      {Family::CANUSB, "canusb serial=LWSIM001 open=fail", "-2", {kUsbOpen}},
      {Family::Kvaser, "kvaser name=a held", "0", {"canOpenChannel(0,128)"}},
      // A board that refuses its configuration is closed, then closed again.
      {Family::Interface,
       "ifcan port=4 getconfig=0xC0000009",
       "-1",
       {"CanOpenPort(\"IFCAN4\")", "CanGetConfig(1)", "CanClosePort(1)", "CanDeactivate(-1)",
        "CanClosePort(-1)"}},
      {Family::Interface,
       "ifcan port=4 open=fail",
       "-1",
       {"CanOpenPort(\"IFCAN4\")", "CanGetConfig(-1)", "CanClosePort(-1)", "CanDeactivate(-1)",
        "CanClosePort(-1)"}},
  };
  for (const auto& [family, config, handle, journal] : cases) {
    const bool board = family == Family::Interface;
    Configure(family, config);
    EXPECT_EQ(Run(family), board ? static_cast<int32_t>(0xC000000Au) : 0);
    EXPECT_EQ(Journal(family), journal);
    ExpectMessage(kOpenFailure);
    EXPECT_EQ(Handle(family), handle);
    EXPECT_EQ(RxFlag, 0);
  }
}

TEST_F(ConnectionTest, WriteFailuresChangeNothingInTheSchedule) {
  // Eight periodic rows on a clock that advances 1 ms per pass; the writes
  // the driver saw after each pass.
  const auto writes_per_pass = [&](Family f, const char* write) {
    db.Param_ALL_Clear();
    for (int16_t i = 0; i < 8; ++i) {
      SetRow(i, 0x100 + i, i % 2 == 1, 8, 0);
      Periodic(i, 1.0 + i);
    }
    clock.now = 1000.0;
    clock.step = 0.125;
    std::vector<long long> writes;
    pump.on_pass = [&](int n) {
      writes.push_back(Sim(f).Calls(write));
      if (n >= 40) RxFlag = 0;
    };
    Run(f);
    return writes;
  };
  // A failing device, and the frames that still reach the bus.
  const std::tuple<Family, const char*, const char*, size_t> faults[] = {
      {Family::CANUSB, "canusb_Write", "canusb serial=LWSIM001 write=-5", 0},
      {Family::CANUSB, "canusb_Write", "canusb serial=LWSIM001 txqueue=3", 3},
      {Family::CANUSB, "canusb_Write", "canusb serial=LWSIM001 busoff", 0},
      {Family::Interface, "CanSendMessage", "ifcan port=4\nfault CanSendMessage result=0xC0000007",
       0},
      {Family::Interface, "CanSendMessage", "ifcan port=1\nifcan port=4 txqueue=3", 3},
      {Family::Interface, "CanSendMessage", "ifcan port=1\nifcan port=4 busoff", 0},
      {Family::Kvaser, "canWrite", "kvaser name=a write=-13", 0},
      {Family::Kvaser, "canWrite", "kvaser name=a txqueue=3", 3},
      {Family::Kvaser, "canWrite", "kvaser name=a busoff", 0}};
  for (const auto& [family, write, fault, frames] : faults) {
    Configure(family, family == Family::CANUSB      ? "canusb serial=LWSIM001"
                      : family == Family::Interface ? "ifcan port=1\nifcan port=4"
                                                    : "kvaser name=a");
    const auto healthy = writes_per_pass(family, write);
    Configure(family, fault);
    EXPECT_EQ(writes_per_pass(family, write), healthy) << fault;
    EXPECT_GT(healthy.back(), 40);
    EXPECT_EQ(Sim(family).Frames().size(), frames) << fault;
  }
}

// Nobody else on the bus: the transmit queue takes three frames, then every
// write fails and the controller is error passive; or it is off the bus.
// The status the window shows when the loop ends, and the state call made
// after the last write, outside the loop.
TEST_F(ConnectionTest, ALonelyBusShowsTheFailedWritesAndTheStateTheLibraryReports) {
  Periodic(0, 0.0);  // rows 0 and 3 go out at every pass: 8 writes in 4 passes
  Periodic(3, 0.0);
  DisconnectAfter(4);
  const std::tuple<Family, const char*, size_t, const char*, Log> cases[] = {
      // The adapter counts its bus-offs; its flags give the other states.
      {Family::CANUSB,
       "canusb serial=LWSIM001 txqueue=3",
       3,
       "通信中（送信エラー 5、エラーパッシブ）",
       {"canusb_GetStatistics(1)", "canusb_Status(1)"}},
      {Family::CANUSB,
       "canusb serial=LWSIM001 busoff",
       0,
       "通信中（送信エラー 8、バスオフ）",
       {"canusb_Write(1)", "canusb_GetStatistics(1)"}},
      // Without its count the flags still tell error passive; neither
      // answered says nothing of the bus.
      {Family::CANUSB,
       "canusb serial=LWSIM001 busoff\nfault canusb_GetStatistics result=-4",
       0,
       "通信中（送信エラー 8、エラーパッシブ）",
       {"canusb_GetStatistics(1)", "canusb_Status(1)"}},
      {Family::CANUSB,
       "canusb serial=LWSIM001 busoff\nfault canusb_GetStatistics result=-4\n"
       "fault canusb_Status result=-4",
       0,
       "通信中（送信エラー 8）",
       {"canusb_GetStatistics(1)", "canusb_Status(1)"}},
      {Family::Kvaser,
       "kvaser name=a txqueue=3",
       3,
       "通信中（送信エラー 5、エラーパッシブ）",
       {"canWrite(0,1,8,2)", "canReadStatus(0)"}},
      {Family::Kvaser,
       "kvaser name=a busoff",
       0,
       "通信中（送信エラー 8、バスオフ）",
       {"canWrite(0,1,8,2)", "canReadStatus(0)"}},
      {Family::Kvaser,
       "kvaser name=a busoff\nfault canReadStatus result=-10",
       0,
       "通信中（送信エラー 8）",
       {"canWrite(0,1,8,2)", "canReadStatus(0)"}},
      // The board library reports no state: the failed writes are all.
      {Family::Interface,
       "ifcan port=1\nifcan port=4 txqueue=3",
       3,
       "通信中（送信エラー 5）",
       {"CanSendMessage(2,1)"}},
      {Family::Interface,
       "ifcan port=1\nifcan port=4 busoff",
       0,
       "通信中（送信エラー 8）",
       {"CanSendMessage(2,1)"}},
  };
  for (const auto& [family, config, frames, status, last_calls] : cases) {
    Configure(family, config);
    // The count starts from zero at every Connect, and the queue is empty
    // again at every open.
    for (int connect = 1; connect <= 2; ++connect) {
      Run(family);
      EXPECT_EQ(Sim(family).Frames().size(), frames * connect) << config;
      EXPECT_EQ(view.final_status, status) << config;
      Log end = last_calls;
      end.push_back(std::string("live:") + status);
      const Log journal = Journal(family);
      const auto live = std::find(journal.begin(), journal.end(), end.back());
      ASSERT_NE(live, journal.end()) << config;
      EXPECT_EQ(Log(live - static_cast<long>(last_calls.size()), live + 1), end) << config;
      EXPECT_TRUE(messages.shown.empty());
    }
  }
}

// A driver would cut 0x800 to 0x000 on a standard frame: every family
// leaves such a row out and keeps the others at their periods. The clock
// moves 1 ms per pass.
TEST_F(ConnectionTest, EachFamilySkipsAPeriodicStandardRowAbove7FF) {
  using Sent = std::map<std::pair<uint32_t, uint8_t>, int>;
  for (Family f : {Family::CANUSB, Family::Interface, Family::Kvaser}) {
    db.Param_ALL_Clear();
    SetRow(0, 0x800, false, 8, 0);
    SetRow(1, 0x7FF, false, 8, 0x10);
    SetRow(2, 0x800, true, 8, 0x20);
    Periodic(0, 1.0);
    Periodic(1, 2.0);
    Periodic(2, 4.0);
    clock.now = 1000.0;
    clock.step = 0.125;
    DisconnectAfter(16);
    Run(f);
    Sent sent;
    for (const auto& frame : Sim(f).Frames()) ++sent[{frame.id, frame.extended}];
    EXPECT_EQ(sent, (Sent{{{0x7FF, 0}, 8}, {{0x800, 1}, 4}})) << FamilyNumber(f);
  }
}

TEST_F(ConnectionTest, EachFamilyTakesExactlyTheRatesTheCommonTableGivesIt) {
  // The dialog's legend and each connection's own rate table must agree.
  CanusbConnection canusb(drivers.canusb.get(), CAN_u, CAN_d);
  IfCanConnection ifcan(drivers.ifcan.get(), IfCan_u, IfCan_d);
  KvaserConnection kvaser(drivers.canlib.get(), kvCan_u, kvCan_d);
  CAN_DB_SocketCAN sockCan_d;
  FakeSocketCanSystem kernel;
  SocketCanConnection socketcan(sockCan_d, kernel);
  const std::pair<Family, FamilyConnection*> families[] = {{Family::CANUSB, &canusb},
                                                           {Family::Interface, &ifcan},
                                                           {Family::Kvaser, &kvaser},
                                                           {Family::SocketCAN, &socketcan}};
  for (const BitRate& rate : kBitRates) {
    for (const auto& [family, connection] : families) {
      EXPECT_EQ(connection->SelectRate(rate.index), rate.SupportedBy(family))
          << rate.label << " family " << FamilyNumber(family);
    }
  }
}

TEST_F(ConnectionTest, AbsentLibraryOrFailingWindowLeavesRxFlagAtZero) {
  drivers = DriverSet();
  for (Family f : {Family::CANUSB, Family::Interface, Family::Kvaser}) {
    // The board routine reports the driver as not ready.
    EXPECT_EQ(Run(f), f == Family::Interface ? static_cast<int32_t>(0xC0000001u) : 0);
    ExpectMessage(kOpenFailure);
    EXPECT_EQ(RxFlag, 0);
  }
  class ThrowingMessages : public platform::MessageBoxes {
   public:
    void Show(const std::string&, const std::string&, platform::MessageIcon) override {
      throw std::runtime_error("no window");
    }
  } throwing;
  FormBG failing(RxFlag, clock, view, throwing, pump, drivers);
  RxFlag = 1;
  EXPECT_NO_THROW(failing.Open_CANUSB(device, CAN_u, CAN_d, db));
  EXPECT_EQ(RxFlag, 0);
}

}  // namespace
}  // namespace telpod
