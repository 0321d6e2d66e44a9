#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "abi/le_bytes.h"
#include "devices/connections/connection_fixture.h"
#include "model/bit_rate_table.h"
#include "platform/sleeping_pump.h"
#include "send/zqt_clock.h"
#include "settings/logs/recorded_log.h"
#include "support/python_can_reader.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

using test::ConnectionTest;
using ::testing::IsSupersetOf;
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

// Row 0: 11-bit 0x7DF, DLC 3, data 11..18; row 1: 29-bit 0x18DAF110, DLC 8,
// data A1..A8; both sent once in the first pass. The frame log the three
// libraries share, as in the demo, is plain candump: python-can's LogReader
// takes every line and finds the frames the drivers were handed.
TEST_F(ConnectionTest, EachDriverReceivesTheRecordsOfAnElevenAndATwentyNineBitRow) {
  test::TempFolder folder;
  const std::string log = folder.File("frames.log");
  SetRow(0, 0x7DF, false, 3, 0x11);
  SetRow(1, 0x18DAF110, true, 8, 0xA1);
  const std::tuple<Family, const char*, const char*, const char*> cases[] = {
      // Identifier, time stamp 0, flags, length, all eight data bytes, padding.
      {Family::CANUSB, "canusb", "DF070000 00000000 00 03 1112131415161718 0000",
       "10F1DA18 00000000 80 08 A1A2A3A4A5A6A7A8 0000"},
      // Length, reserved word, identifier (bit 31 for 29 bits), data, zero word.
      {Family::Interface, "ifcan", "03000000 00000000 DF070000 1112131415161718 00000000",
       "08000000 00000000 10F1DA98 A1A2A3A4A5A6A7A8 00000000"},
      // CANlib reads the frame's own bytes only.
      {Family::Kvaser, "kvaser", "111213", "A1A2A3A4A5A6A7A8"},
  };
  Log lines;
  for (const auto& [family, interface, first, second] : cases) {
    db.set_CAN_SendOperation(0, 1);
    db.set_CAN_SendOperation(1, 1);
    Sim(family).SetLog(log);
    Run(family);
    Sim(family).SetLog("");
    const auto frames = Sim(family).Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(Bytes(frames[0].raw, frames[0].raw + frames[0].raw_size), Hex(first));
    EXPECT_EQ(Bytes(frames[1].raw, frames[1].raw + frames[1].raw_size), Hex(second));
    for (const auto& frame : frames) {
      lines.push_back(test::FrameLine(interface + std::to_string(frame.device), frame));
    }
  }
  // CANlib takes the identifier unchanged, with flag 2 (standard) or 4 (extended).
  EXPECT_EQ(kvaser.CallsStartingWith("canWrite"),
            (Log{"canWrite(0,2015,3,2)", "canWrite(0,417001744,8,4)"}));
  EXPECT_EQ(lines[1], "canusb0 18DAF110 X D 8 A1A2A3A4A5A6A7A8");
  EXPECT_EQ(test::ReadWithPythonCan(log), lines);
}

TEST_F(ConnectionTest, CanusbHandsALengthAboveEightOverUnchanged) {
  SetRow(0, 0x100, false, 12, 0);
  db.set_CAN_SendOperation(0, 1);
  Run(Family::CANUSB);
  EXPECT_EQ(usb.LastRecord("canusb_Write")[9], 12);
}

// What each family hands its driver for a bit-rate index: the CANUSB text,
// the board's code, CANlib's constant; 0: the family does not offer the
// rate, and says so before any driver call. The dialog's legend, drawn from
// the common table, must agree.
TEST_F(ConnectionTest, EachFamilyOpensAtTheRateOfTheIndexOrRefusesBeforeAnyCall) {
  const std::tuple<int32_t, const char*, int32_t, int32_t> rates[] = {
      {0, "1000", 39, -1},  {1, "800", 0, 0},    {2, "500", 295, -2}, {3, "250", 570, -3},
      {4, "100", 2358, -5}, {5, "50", 7459, -7}, {6, "20", 0, 0},     {7, "10", 0, -9},
      {8, "125", 1338, -4}, {9, "", 0, 0},       {-1, "", 0, 0}};
  for (const auto& [index, text, board_code, kvaser_code] : rates) {
    device.set_t_bitRate(index);
    const auto rate = FindBitRate(index);
    const std::tuple<Family, bool, std::string> families[] = {
        {Family::CANUSB, rate.has_value(),
         "canusb_Open(\"LWSIM001\",\"" + std::string(text) + "\",0,4294967295,1)"},
        {Family::Interface, board_code != 0, "CanSetConfig(2)"},
        {Family::Kvaser, kvaser_code != 0,
         "canSetBusParams(0," + std::to_string(kvaser_code) + ",5,2,1,1,0)"}};
    for (const auto& [family, offered, call] : families) {
      SCOPED_TRACE(std::to_string(index) + " family " + std::to_string(FamilyNumber(family)));
      Run(family);
      EXPECT_EQ(offered, rate && rate->SupportedBy(family));
      EXPECT_EQ(RxFlag, 0);
      if (offered) {
        EXPECT_THAT(Journal(family),
                    IsSupersetOf(Log{call, "protocol:" + BitRateLabel(index), "live:通信中"}));
        EXPECT_TRUE(messages.shown.empty());
      } else if (family == Family::CANUSB) {
        // Outside the table the text is empty, and the adapter refuses it.
        EXPECT_EQ(Journal(family), Log{call});
        ExpectMessage(kOpenFailure);
      } else {
        EXPECT_TRUE(Journal(family).empty());
        ExpectMessage("非対応の通信速度が選択されています。\r\n接続をを終了します。");
      }
    }
    if (board_code == 0) continue;
    // Mode word normal, the board's own five words, then the rate code.
    Bytes config = Hex("00000000 A1000000 A2000000 A3000000 A4000000 A5000000 00000000");
    PutLe32(config.data() + 24, static_cast<uint32_t>(board_code));
    EXPECT_EQ(boards.LastRecord("CanSetConfig"), config);
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

// The board routine returns the status of its close with handle -1; the
// others close nothing. All say the same: the connection ends.
TEST_F(ConnectionTest, OpenFailureShowsItsMessageAndClosesOnlyWhatItMust) {
  kvCan_d.set_KvCAN_SelectNo(2);  // the second entry is channel 2
  const std::tuple<Family, const char*, const char*, Log> cases[] = {
      {Family::CANUSB, "canusb serial=LWSIM001 open=fail", "-2", {kUsbOpen}},
      {Family::Kvaser, "kvaser\nkvaser\nkvaser held", "0", {"canOpenChannel(2,128)"}},
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
    Configure(family, config);
    EXPECT_EQ(Run(family), family == Family::Interface ? static_cast<int32_t>(0xC000000Au) : 0);
    EXPECT_EQ(Journal(family), journal);
    ExpectMessage(kOpenFailure);
    EXPECT_EQ(Handle(family), handle);
    EXPECT_EQ(RxFlag, 0);
  }
}

// Eight periodic rows, 40 passes on a clock that moves 1 ms per pass, on a
// device whose library fails every write, or alone on its bus: the transmit
// queue takes three frames after each open, then every write fails and the
// controller is error passive; or it is off the bus. The writes keep the
// schedule of a sound device. The status the window shows when the loop
// ends counts the failed writes of this connection and names the state the
// library reports, asked after the last write, outside the loop.
TEST_F(ConnectionTest, FailedWritesKeepTheScheduleAndShowInTheStatus) {
  const auto writes_per_pass = [&](Family f, const std::string& write) {
    db.Param_ALL_Clear();
    for (int16_t i = 0; i < 8; ++i) {
      SetRow(i, 0x100 + i, i % 2 == 1, 8, 0);
      Periodic(i, 1.0 + i);
    }
    clock.now = 1000.0;
    clock.step = 0.125;
    std::vector<long long> writes;
    const long long before = Sim(f).Calls(write.c_str());
    pump.on_pass = [&](int n) {
      writes.push_back(Sim(f).Calls(write.c_str()) - before);
      if (n >= 40) RxFlag = 0;
    };
    Run(f);
    return writes;
  };
  // A sound device's line, and its write call.
  const std::map<Family, std::pair<std::string, std::string>> sound = {
      {Family::CANUSB, {"canusb serial=LWSIM001 ", "canusb_Write"}},
      {Family::Interface, {"ifcan port=1\nifcan port=4 ", "CanSendMessage"}},
      {Family::Kvaser, {"kvaser name=a ", "canWrite"}}};
  const char* const usb_state = "canusb_GetStatistics(1) canusb_Status(1) ";
  // What the device line adds, the frames that still reach the bus, the
  // state named, and the calls after the last write.
  const std::tuple<Family, const char*, size_t, const char*, const char*> cases[] = {
      {Family::CANUSB, "write=-5", 0, "", usb_state},
      {Family::CANUSB, "txqueue=3", 3, "、エラーパッシブ", usb_state},
      // The adapter counts its bus-offs; without that count its flags still
      // tell error passive; neither answered says nothing of the bus.
      {Family::CANUSB, "busoff", 0, "、バスオフ", "canusb_GetStatistics(1) "},
      {Family::CANUSB, "busoff\nfault canusb_GetStatistics result=-4", 0, "、エラーパッシブ",
       usb_state},
      {Family::CANUSB,
       "busoff\nfault canusb_GetStatistics result=-4\nfault canusb_Status result=-4", 0, "",
       usb_state},
      // The board library reports no state: the failed writes are all.
      {Family::Interface, "\nfault CanSendMessage result=0xC0000007", 0, "", ""},
      {Family::Interface, "txqueue=3", 3, "", ""},
      {Family::Interface, "busoff", 0, "", ""},
      {Family::Kvaser, "write=-13", 0, "", "canReadStatus(0) "},
      {Family::Kvaser, "txqueue=3", 3, "、エラーパッシブ", "canReadStatus(0) "},
      {Family::Kvaser, "busoff", 0, "、バスオフ", "canReadStatus(0) "},
      {Family::Kvaser, "busoff\nfault canReadStatus result=-10", 0, "", "canReadStatus(0) "},
  };
  for (const auto& [family, config, frames, state, state_calls] : cases) {
    const auto& [line, write] = sound.at(family);
    SCOPED_TRACE(line + config);
    Configure(family, line);
    const auto healthy = writes_per_pass(family, write);
    ASSERT_GT(healthy.back(), 40);
    Configure(family, line + config);
    for (size_t connect = 1; connect <= 2; ++connect) {
      EXPECT_EQ(writes_per_pass(family, write), healthy);
      EXPECT_EQ(Sim(family).Frames().size(), frames * connect);
      const std::string status = "通信中（送信エラー " +
                                 std::to_string(healthy.back() - static_cast<long long>(frames)) +
                                 state + "）";
      EXPECT_EQ(view.final_status, status);
      const Log journal = Journal(family);
      const auto live = std::find(journal.begin(), journal.end(), "live:" + status);
      ASSERT_NE(live, journal.end());
      const auto last_write =
          std::find_if(std::make_reverse_iterator(live), journal.rend(),
                       [&](const std::string& call) { return call.starts_with(write); });
      std::string after_last_write;
      for (auto call = last_write.base(); call != live; ++call) after_last_write += *call + " ";
      EXPECT_EQ(after_last_write, state_calls);
      EXPECT_TRUE(messages.shown.empty());
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

// A short log played over each simulator on the program's own clock,
// beside nothing: the simulator's frame log, read back as a log, holds
// the frames in the log's order, and none was written before its recorded
// offset from the replay's start (the simulators and the clock library
// read the same monotonic clock). The board's record has no remote flag:
// its remote frame is passed over.
TEST_F(ConnectionTest, EachFamilyReplaysALogInOrderAndNeverEarly) {
  const std::string recorded =
      "(100.000000) can0 7DF#0201\n(100.004000) can0 18DAF110#A1A2A3A4A5A6A7A8\n"
      "(100.004000) can0 123#R4\n(100.010500) can0 000#\n(100.025000) can0 7E8#0641\n";
  const auto zqt = ZqtClock::Load(TELPOD_PROGRAM_DIR);
  ASSERT_TRUE(zqt);
  // The loop sleeps between frames and ends once the replay has.
  class UntilReplayed : public platform::EventPump {
   public:
    UntilReplayed(int32_t& flag, const ReplaySlot& slot) : flag_(flag), slot_(slot) {}
    void DoEvents() override {
      if (slot_.schedule()->Finished()) flag_ = 0;
    }
    void WaitUntil(platform::Deadline deadline) override {
      sleeper_.WaitUntil(deadline);
      DoEvents();
    }

   private:
    int32_t& flag_;
    const ReplaySlot& slot_;
    platform::SleepingPump sleeper_;
  };
  test::TempFolder folder;
  for (const auto& [family, remote] :
       {std::pair{Family::CANUSB, true}, {Family::Interface, false}, {Family::Kvaser, true}}) {
    SCOPED_TRACE(FamilyName(family));
    const std::string log = folder.File(std::string(FamilyName(family)) + ".log");
    ReplaySlot slot;
    LogOpening opened = ReadRecordedLog(std::make_unique<std::istringstream>(recorded),
                                        recorded.size(), LogFormat::Candump, "recorded.log");
    ASSERT_TRUE(opened.frames) << opened.error;
    slot.Load(std::make_unique<ReplaySchedule>(std::move(opened.frames), ReplayOptions{}));
    UntilReplayed until_replayed(RxFlag, slot);
    test::RecordingView statuses;
    FormBG replaying(RxFlag, *zqt, statuses, messages, until_replayed, drivers, nullptr, &slot);
    Sim(family).SetLog(log);
    RxFlag = 1;
    if (family == Family::CANUSB) replaying.Open_CANUSB(device, CAN_u, CAN_d, db);
    if (family == Family::Interface) replaying.Open_InterfaceCAN(device, IfCan_u, IfCan_d, db);
    if (family == Family::Kvaser) replaying.Open_KvaserCAN(device, kvCan_u, kvCan_d, db);
    Sim(family).SetLog("");

    const LogOpening played = OpenRecordedLog(log);
    ASSERT_TRUE(played.frames) << played.error;
    std::vector<std::string> frames;
    RecordedFrame f;
    while (played.frames->Next(f)) frames.push_back(CandumpText(f.frame));
    std::vector<std::pair<std::string, double>> expected = {{"7DF#0201", 0},
                                                            {"18DAF110#A1A2A3A4A5A6A7A8", 4},
                                                            {"123#R4", 4},
                                                            {"000#", 10.5},
                                                            {"7E8#0641", 25}};
    if (!remote) expected.erase(expected.begin() + 2);
    ASSERT_EQ(frames.size(), expected.size());
    const ReplaySummary summary = slot.schedule()->Summary();
    const auto captured = Sim(family).Frames();
    ASSERT_EQ(captured.size(), expected.size());
    for (size_t k = 0; k < frames.size(); ++k) {
      EXPECT_EQ(frames[k], expected[k].first);
      const double written_ms = static_cast<double>(captured[k].monotonic_ns) / 1e6;
      EXPECT_GE(written_ms, summary.start_ms + expected[k].second - 1e-6) << k;
    }
    EXPECT_EQ(summary.sent, static_cast<int64_t>(expected.size()));
    EXPECT_EQ(summary.frames.remote, remote ? 0 : 1);
  }
}

}  // namespace
}  // namespace telpod
