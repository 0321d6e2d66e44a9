// The CANUSB family: the contract on its simulator, and what only it does.
#include <gtest/gtest.h>

#include <limits>

#include "devices/contract/family_contract.h"
#include "devices/simulated_devices.h"
#include "platform/driver_folders.h"

namespace telpod {
namespace {

using test::FamilyContract;
using test::FamilyRun;
using Calls = std::vector<std::string>;

class CanusbBench final : public test::SimulatorBench {
 public:
  CanusbBench()
      : SimulatorBench(platform::kCanusbLibraryFile, "canusb serial=LW000001 version=\"V2.0\"",
                       "canusb serial=LW000002 version=B", {"write=-5", "txqueue=0", "busoff"},
                       {"CANUSB",
                        {"CANUSB LW000001", "CANUSB LW000002"},
                        {"V2.0", "B"},
                        {"1000", "800", "500", "250", "100", "50", "20", "10", "125"},
                        {"canusb_Close(1)"},
                        true}) {}
  // The bit-rate text canusb_Open was last given, unquoted.
  std::string RateOnDevice() const override {
    const std::string text = Argument("canusb_Open", 1);
    return text.size() < 2 ? text : text.substr(1, text.size() - 2);
  }
};

INSTANTIATE_TEST_SUITE_P(CANUSB, FamilyContract,
                         ::testing::Values(test::MakerOf<CanusbBench>("CANUSB")));

class CanusbTest : public ::testing::Test {
 protected:
  // Start-up on the adapters of `config`.
  void StartUp(const std::string& config) {
    bench.sim.Configure(config);
    run.StartUp();
  }

  CanusbBench bench;
  FamilyRun run{bench};
};

// Rows become 20-byte CANMsg records: identifier, time stamp 0, flags
// (0x80 for 29 bits), length, all eight data bytes, padding. A length above
// 8 is handed over as it is, for the adapter to refuse.
TEST_F(CanusbTest, RowsBecomeCanMsgRecordsWithTheLengthAsStored) {
  StartUp("canusb serial=LW000001");
  run.Tx_CANDATA.set_CAN_DLC(2, 12);
  run.Tx_CANDATA.set_CAN_SendOperation(2, 1);
  run.Connect();
  const auto frames = bench.sim.Frames();
  ASSERT_EQ(frames.size(), 2u);
  using Bytes = std::vector<uint8_t>;
  EXPECT_EQ(Bytes(frames[0].raw, frames[0].raw + frames[0].raw_size),
            (Bytes{0xDF, 0x07, 0,    0,    0,    0,    0,    0,    0x00, 3,
                   0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0,    0}));
  EXPECT_EQ(Bytes(frames[1].raw, frames[1].raw + 10),
            (Bytes{0x10, 0xF1, 0xDA, 0x18, 0, 0, 0, 0, 0x80, 8}));
  EXPECT_EQ(bench.sim.LastRecord("canusb_Write")[9], 12);
  EXPECT_EQ(run.final_status, "通信中（送信エラー 1）");
}

// Opened at the rate's text; the running status before the writes; the
// state read from the bus-off count, then the status flags; the adapter
// closed last.
TEST_F(CanusbTest, AConnectionInItsOrder) {
  StartUp("canusb serial=LWSIM001");
  run.Connect();
  EXPECT_EQ(run.Journal(),
            (Calls{"canusb_Open(\"LWSIM001\",\"500\",0,4294967295,1)", "protocol:500k bps",
                   "status:通信中", "canusb_Write(1)", "canusb_Write(1)", "canusb_GetStatistics(1)",
                   "canusb_Status(1)", "live:通信中", "status:終了処理中", "canusb_Close(1)"}));
}

// An adapter that does not open is not closed; the connection ends.
TEST_F(CanusbTest, AnAdapterThatDoesNotOpenIsNotClosed) {
  StartUp("canusb serial=LWSIM001 open=fail");
  EXPECT_EQ(run.Connect(), "");
  EXPECT_EQ(run.Journal(), Calls{"canusb_Open(\"LWSIM001\",\"500\",0,4294967295,1)"});
  ASSERT_EQ(run.messages.shown.size(), 1u);
  EXPECT_EQ(run.messages.shown[0].text, "機器が正常に動作していません。\r\n接続を終了します。");
  EXPECT_EQ(run.objects.CAN_d.CAN_USB_Handle(), -2);
  // An index outside the rate table leaves the text empty, which no
  // adapter opens with.
  StartUp("canusb serial=LWSIM001");
  run.Connect(9);
  EXPECT_EQ(run.Journal(), Calls{"canusb_Open(\"LWSIM001\",\"\",0,4294967295,1)"});
}

// The adapter counts its bus-offs; without that count its flags still tell
// error passive; neither answered says nothing of the bus.
TEST_F(CanusbTest, BusStateFromTheBusOffCountElseFromTheFlags) {
  const std::pair<const char*, const char*> cases[] = {
      {"fault canusb_GetStatistics result=-4", "、エラーパッシブ"},
      {"fault canusb_GetStatistics result=-4\nfault canusb_Status result=-4", ""}};
  for (const auto& [faults, state] : cases) {
    StartUp(std::string("canusb serial=LWSIM001 busoff\n") + faults);
    run.Connect();
    EXPECT_EQ(run.final_status, std::string("通信中（送信エラー 2") + state + "）") << faults;
  }
}

class CanusbSearch : public test::SimulatedDevices {};

std::string Adapters(int n) {
  std::string config;
  for (int i = 1; i <= n; ++i) config += "canusb serial=SIM" + std::to_string(10000 + i) + "\n";
  return config;
}

// Adapters are listed in report order and never opened; the first report's
// result counts them.
TEST_F(CanusbSearch, EndsAtTheFirstNonAdapterAtTheCountOrAtCapacity) {
  // Configuration, capacity (0: as cleared), count, next-adapter calls (each
  // after running events), the last serial number listed.
  const std::tuple<std::string, int32_t, int32_t, long long, std::string> cases[] = {
      {Adapters(5), 2, 2, 1, "SIM10002"},
      {Adapters(31), 0, 30, 29, "SIM10030"},
      // A library that would start over after the second adapter.
      {"canusb serial=LW0000A1 report=2\ncanusb serial=LW0000B2\ncanusb serial=LW0000A1", 0, 2, 1,
       "LW0000B2"},
      // Fewer than seven characters is no adapter.
      {"canusb serial=LW1234\ncanusb serial=LW123456", 0, 0, 0, ""},
      {"canusb serial=LW123456\ncanusb serial=LW12\ncanusb serial=LW654321", 0, 1, 1, "LW123456"},
      {"", 0, 0, 0, ""},
      {"canusb serial=LW000001\nfault canusb_getFirstAdapter result=-1", 0, 0, 0, ""},
      // Results count by their low 16 bits: 0x10000 is 0, 0x1FFFF is -1, 0xFFFF0001 is 1.
      {"canusb serial=LW000001 report=0x10000", 0, 0, 0, ""},
      {"canusb serial=LW000001\ncanusb serial=LW000002 report=0x1FFFF", 0, 1, 1, "LW000001"},
      {"canusb serial=LW000001 report=0xFFFF0001\ncanusb serial=LW000002", 0, 1, 0, "LW000001"},
  };
  for (const auto& [config, capacity, count, next_calls, last] : cases) {
    usb.Configure(config);
    CAN_d.Param_ALL_Clear();
    if (capacity) CAN_d.set_CAN_USB_FindCount_MAX(capacity);
    pump.passes = 0;
    FindAdapters();
    EXPECT_EQ(CAN_d.CAN_USB_FindCount(), count) << config;
    EXPECT_EQ(CAN_d.CAN_USB_FindSerialNo(static_cast<int16_t>(count)), last) << config;
    const Calls log = usb.CallLog();
    EXPECT_EQ(log.front(), "canusb_getFirstAdapter(64)");
    EXPECT_EQ(Calls(log.begin() + 1, log.end()), Calls(next_calls, "canusb_getNextAdapter(64)"))
        << config;
    EXPECT_EQ(pump.passes, next_calls) << config;
  }
}

TEST_F(CanusbSearch, TheLineIsTheVersionReadBetweenOpenAndClose) {
  // The second adapter's settings; the result, the line, and how many of
  // open, version read and close the probe made.
  const std::tuple<const char*, int32_t, std::optional<std::string>, size_t> cases[] = {
      {"version=\"V2.1 HW1\"", 1, "V2.1 HW1", 3},
      {"version_result=0", 1, "???", 3},
      {"version=V1 close=-9", -9, "V1", 3},
      {"version=V1 close=0x10001", 1, "V1", 3},  // read by its low 16 bits
      {"open=fail", 0, std::nullopt, 1},
  };
  const Calls probe{"canusb_Open(\"LW000002\",\"500\",0,4294967295,1)", "canusb_VersionInfo(2)",
                    "canusb_Close(2)"};
  for (const auto& [config, result, line, calls] : cases) {
    usb.Configure(std::string("canusb serial=LW000001\ncanusb serial=LW000002 ") + config);
    CAN_d.Param_ALL_Clear();
    FindAdapters();
    const size_t before = usb.CallLog().size();
    device.set_t_CmbBOX_device_SelectNo(2);
    const auto info = Show_SelectedDevice_Info(families);
    EXPECT_EQ(info.result, result) << config;
    EXPECT_EQ(info.TB_ODB_Hard_Version, line) << config;
    EXPECT_EQ(usb.CallLog(before), Calls(probe.begin(), probe.begin() + calls)) << config;
  }
  // Without its library the family reads no line.
  drivers = DriverSet();
  EXPECT_FALSE(Show_SelectedDevice_Info(families).TB_ODB_Hard_Version);
}

// The probe opens the adapter at the rate the next Connect uses, never at
// one the bus may not run at; an index that names no rate opens nothing.
TEST_F(CanusbSearch, TheProbeOpensAtTheCommonSettingsRate) {
  usb.Configure("canusb serial=LW000001 version=V1");
  FindAdapters();
  const std::pair<int32_t, std::string> rates[] = {
      {0, "1000"}, {1, "800"}, {2, "500"}, {3, "250"},
      {4, "100"},  {5, "50"},  {6, "20"},  {7, "10"},
      {8, "125"},  {9, ""},    {-1, ""},   {std::numeric_limits<int32_t>::min(), ""}};
  device.set_t_CmbBOX_device_SelectNo(1);
  for (const auto& [index, text] : rates) {
    device.set_t_bitRate(index);
    const size_t before = usb.CallLog().size();
    const auto info = Show_SelectedDevice_Info(families);
    const Calls calls = usb.CallLog(before);
    if (text.empty()) {
      EXPECT_TRUE(calls.empty()) << index;
      EXPECT_EQ(info.result, 0) << index;
      EXPECT_FALSE(info.TB_ODB_Hard_Version.has_value()) << index;
    } else {
      ASSERT_FALSE(calls.empty()) << index;
      EXPECT_EQ(calls.front(), "canusb_Open(\"LW000001\",\"" + text + "\",0,4294967295,1)");
      EXPECT_EQ(info.TB_ODB_Hard_Version, "V1") << index;
    }
  }
}

}  // namespace
}  // namespace telpod
