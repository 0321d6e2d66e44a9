#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <regex>
#include <streambuf>
#include <tuple>
#include <utility>

#include "platform/driver_folders.h"
#include "send_program.h"
#include "settings/csv_export.h"
#include "settings/file_save_system.h"
#include "settings/row_rules_file.h"
#include "settings/row_rules_json.h"
#include "settings/xls/excel_install_check.h"
#include "settings/xls/xls_export.h"
#include "support/platform_fakes.h"
#include "support/python_can_reader.h"

namespace telpod {
namespace {

using platform::kCanlibLibraryFile;
using platform::kCanusbLibraryFile;
using platform::kIfCanLibraryFile;
using test::FramesOf;
using Lines = std::vector<std::string>;

// Rows 0, 3 and 5 periodic at 20 ms, 50 ms (extended) and 2 s; row 6 not.
// A row's data bytes count on from its number: row 3 sends 31 32 .. 38.
CAN_SendDB PeriodicRows() {
  CAN_SendDB db;
  const std::tuple<int16_t, int32_t, uint8_t, double> rows[] = {
      {0, 0x7DF, 2, 20}, {3, 0x18DAF110, 8, 50}, {5, 0x123, 4, 2000}, {6, 0x456, 8, 0}};
  for (const auto& [i, id, dlc, period] : rows) {
    db.set_CAN_ID(i, id);
    db.set_CAN_Send29(i, id > 0x7FF ? 1 : 0);
    db.set_CAN_DLC(i, dlc);
    for (int n = 1; n <= 8; ++n) db.set_CAN_Data(n, i, static_cast<uint8_t>(i * 16 + n));
    db.set_CAN_SendCycleOperation(i, period > 0 ? 1 : 0);
    db.set_CAN_SendCycleTime(i, period);
  }
  return db;
}

class TelpodSendTest : public test::SendProgram {
 protected:
  // config.dat holding `rows` at 500k.
  static void SaveRows(const CAN_SendDB& rows) {
    ELM327_Info device;
    device.set_t_bitRate(2);
    EXPECT_EQ(FileSaveSystem::Save_SettingFile(device, rows), 0);
  }
  // The clock, one adapter, and config.dat holding `rows`.
  test::SimControl& StartWithRows(const CAN_SendDB& rows) {
    InstallClock();
    SaveRows(rows);
    return InstallDriver(kCanusbLibraryFile, "canusb serial=LW000001\n");
  }
  std::string Path(const std::string& name) const { return program.File(name); }
};

// Start-up ends where the window's does, with its message in English.
TEST_F(TelpodSendTest, StartUpStopsWithTheWindowsMessages) {
  const std::string driver = platform::DriverFolders().front() + "/libcanusbdrv.so";
  const std::pair<std::function<void()>, Lines> cases[] = {
      {[&] {
         use_real_clock = true;
         InstallDriver(kCanusbLibraryFile, "");
       },
       {"libzqt100.so was not found.", "Use the libzqt100.so that comes with the program.",
        "The application ends."}},
      {[&] { InstallClock(); },
       {"libcanusbdrv.so, libIFCan.so or libcanlib.so.1 was not found.", driver,
        "No driver is installed.", "The application ends."}},
      {[&] {
         InstallClock();
         InstallDriver(kCanusbLibraryFile, "# no adapters\n");
         InstallDriver(kCanlibLibraryFile, "kvaser held\n");
       },
       {"No device was found.", "The application ends."}},
  };
  for (const auto& [setup, shown] : cases) {
    std::filesystem::remove_all(program.path());
    std::filesystem::create_directories(program.File("drivers"));
    use_real_clock = false;
    setup();
    EXPECT_EQ(Run({"--list"}), 3);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(ErrLines(), shown);
  }
}

// The rows in config.dat, or exported as the window exports them to the
// file the parameter names while config.dat holds other rows; config.dat
// at 250k either way.
class RowsFromEachFile : public TelpodSendTest, public ::testing::WithParamInterface<std::string> {
 protected:
  Lines WriteRows(const CAN_SendDB& rows) {
    ELM327_Info device;
    Setting_import_export::Check_Excel_Install(device);
    device.set_t_bitRate(3);
    CAN_SendDB others, table = rows;
    others.set_CAN_ID(7, 0x555);
    others.set_CAN_SendCycleOperation(7, 1);
    const std::string& file = GetParam();
    EXPECT_EQ(FileSaveSystem::Save_SettingFile(device, file.empty() ? rows : others), 0);
    if (file.empty()) return {};
    test::RecordingMessages messages;
    const auto save = file.ends_with(".csv") ? Setting_import_export::Export_CSV
                                             : Setting_import_export::Export_XLS;
    save(device, file, program.path() + "/", table, messages);
    return {"--rows", Path(file)};
  }
};

// The frames the adapter took are the rows', at their periods, and each is
// printed as its candump line; config.dat gives the rate and is never
// written.
TEST_P(RowsFromEachFile, RowsReachTheAdapterAtTheirPeriods) {
  InstallClock();
  auto& usb = InstallDriver(kCanusbLibraryFile, "canusb serial=LW000001\n");
  Lines args = WriteRows(PeriodicRows());
  const std::string config = test::ReadFile(FileSaveSystem::SettingFilePath());
  usb.SetLog(Path("bus.log"));
  args.insert(args.end(), {"--seconds", "1"});  // 1000 ms of the test's clock
  ASSERT_EQ(Run(args), 0) << err.str();
  usb.SetLog("");

  const Lines frames = FramesOf(OutLines());
  EXPECT_EQ(FramesOf(test::LinesOf(test::ReadFile(Path("bus.log")))), frames);
  EXPECT_NE(out.str().find(") canusb-LW000001 7DF#0102\n"), std::string::npos) << out.str();
  // Every periodic row in the first pass, in row order; then never faster
  // than its period, and none skipped beyond the loop's own passes (about a
  // millisecond each of the test's clock).
  const std::pair<std::string, double> periods[] = {
      {"7DF#0102", 20}, {"18DAF110#3132333435363738", 50}, {"123#51525354", 2000}};
  ASSERT_GE(frames.size(), 3u);
  size_t counted = 0;
  for (size_t k = 0; k < 3; ++k) {
    const auto& [frame, period] = periods[k];
    EXPECT_EQ(frames[k], frame);
    const auto sent = std::count(frames.begin(), frames.end(), frame);
    EXPECT_GE(sent, 1000 / (period + 2)) << frame;
    EXPECT_LE(sent, 1000 / period + 1) << frame;
    counted += static_cast<size_t>(sent);
  }
  EXPECT_EQ(counted, frames.size()) << "frames of no periodic row";
  EXPECT_NE(usb.CallsStartingWith("canusb_Open(").back().find("\"250\""), std::string::npos);
  EXPECT_EQ(test::ReadFile(FileSaveSystem::SettingFilePath()), config);
  EXPECT_EQ(ErrLines().back().rfind(
                std::to_string(frames.size()) + " frames written, 0 failed writes, 1.0", 0),
            0u)
      << err.str();
}

INSTANTIATE_TEST_SUITE_P(EachKind, RowsFromEachFile, ::testing::Values("", "rows.csv", "rows.xls"),
                         [](const auto& info) {
                           return info.param.empty() ? "ConfigDat" : info.param.substr(5);
                         });

// The list reads each adapter's version at the rate a run would send at:
// config.dat's (250k here), or the one asked for.
TEST_F(TelpodSendTest, TheListOpensEachAdapterAtTheSettingsRateOrTheOneAsked) {
  InstallClock();
  auto& usb = InstallDriver(kCanusbLibraryFile, "canusb serial=LW000001\ncanusb serial=LW000002\n");
  ELM327_Info device;
  device.set_t_bitRate(3);
  ASSERT_EQ(FileSaveSystem::Save_SettingFile(device, CAN_SendDB()), 0);
  const std::pair<Lines, std::string> runs[] = {{{"--list"}, "250"},
                                                {{"--list", "--rate", "1M"}, "1000"}};
  for (const auto& [args, rate] : runs) {
    const size_t before = usb.CallsStartingWith("canusb_Open(").size();
    ASSERT_EQ(Run(args), 0) << err.str();
    EXPECT_EQ(OutLines().size(), 2u) << rate;
    EXPECT_EQ(err.str(), "");
    const Lines opens = usb.CallsStartingWith("canusb_Open(");
    ASSERT_EQ(opens.size(), before + 2) << rate;
    for (size_t k = before; k < opens.size(); ++k) {
      EXPECT_NE(opens[k].find(",\"" + rate + "\","), std::string::npos) << opens[k];
    }
  }
}

// As the window lists them; a chosen device sends under the name that
// identifies it.
TEST_F(TelpodSendTest, EveryDeviceListedAndEachFamilysChosenByNumberOrText) {
  InstallEveryFamily();
  socketcan.raw_sockets = true;
  socketcan.interfaces.push_back(test::VirtualLink("vcan0"));
  EXPECT_EQ(Run({"--list"}), 0);
  EXPECT_EQ(
      OutLines(),
      (Lines{"1\tCANUSB LW000001\tV2.0",
             "2\tInterface PCI-485120 port:2\tInterface PCI-485120 RevID:1 ch:1 high-speed CAN",
             "3\tInterface  port:5\tInterface  RevID:3 ch:2",
             "4\tKvaser A\tP/N: 73-30130-00432-1  S/N: 70123  FW: 3.4.291",
             "5\tKvaser C\tP/N: 0-00000-00000-0  S/N: 0  FW: 0.0.0",
             "6\tSocketCAN vcan0\tSocketCAN vcan0 vcan"}));
  EXPECT_EQ(err.str(), "");

  CAN_SendDB rows;
  rows.set_CAN_ID(0, 0x7DF);
  rows.set_CAN_SendCycleOperation(0, 1);
  rows.set_CAN_SendCycleTime(0, 10);
  SaveRows(rows);
  const std::tuple<std::string, std::string, std::function<size_t()>> cases[] = {
      {"2", "ifcan2", [&] { return Sim(kIfCanLibraryFile).Frames().size(); }},
      {"Kvaser C", "kvaser2", [&] { return Sim(kCanlibLibraryFile).Frames().size(); }},
      {"SocketCAN vcan0", "vcan0",
       [&] {
         return static_cast<size_t>(
             std::count(socketcan.calls.begin(), socketcan.calls.end(), "write:7DF:8"));
       }},
  };
  for (const auto& [device, name, frames] : cases) {
    ASSERT_EQ(Run({"--device", device, "--seconds", "0.1"}), 0) << err.str();
    const Lines lines = OutLines();
    ASSERT_FALSE(lines.empty()) << device;
    EXPECT_EQ(frames(), lines.size()) << device;
    for (const auto& line : lines) {
      EXPECT_NE(line.find(") " + name + " 7DF#0000000000000000"), std::string::npos) << line;
    }
  }
}

// Rows 0, 3 and 5 of PeriodicRows with rules: an alive counter 0..14 in
// the low nibble of D7 and a CRC-8H2F in D8; three bits from bit 5 of D1
// counting 1, 3, 5, 7 and the XOR of D1..D3 in D6; all eight bits of D2
// from 250 with a CRC-8 SAE J1850 over the rest and data ID 0x1234 in D1.
RowRules ThreeRules() {
  RowRules rules;
  rules.Set(0,
            {CounterRule{7, 0, 4, 0, 1, 14}, ChecksumRule{8, ChecksumAlgorithm::Crc8H2F, {}, {}}});
  rules.Set(3, {CounterRule{1, 5, 3, 1, 2, 7}, ChecksumRule{6, ChecksumAlgorithm::Xor, 0b111, {}}});
  rules.Set(5, {CounterRule{2, 0, 8, 250, 1, 255},
                ChecksumRule{1, ChecksumAlgorithm::Crc8SaeJ1850, {}, 0x1234}});
  return rules;
}

// Every family, each over its simulator (SocketCAN over a kernel of the
// test's, its frames as the program's own candump lines), sends the rows
// with their rules, and a check of its own reads each frame log with
// python-can and finds every counter and checksum right.
TEST_F(TelpodSendTest, EveryFamilysFramesCarryCountersAndChecksumsPythonRecomputes) {
  InstallEveryFamily();
  socketcan.raw_sockets = true;
  socketcan.interfaces.push_back(test::VirtualLink("vcan0"));
  CAN_SendDB rows = PeriodicRows();
  rows.set_CAN_DLC(0, 8);
  rows.set_CAN_SendCycleTime(0, 1);
  rows.set_CAN_SendCycleTime(3, 2);
  rows.set_CAN_SendCycleTime(5, 3);
  SaveRows(rows);
  const std::string rules = Path("ecu.json");
  test::WriteFile(rules, RowRulesJson::Text(ThreeRules()));
  const std::pair<std::string, const char*> devices[] = {
      {"1", kCanusbLibraryFile}, {"2", kIfCanLibraryFile}, {"4", kCanlibLibraryFile}, {"6", ""}};
  for (const auto& [device, library] : devices) {
    SCOPED_TRACE(device);
    const std::string log = Path("bus" + device + ".log");
    if (*library) Sim(library).SetLog(log);
    ASSERT_EQ(Run({"--device", device, "--rules", rules, "--seconds", "0.1"}), 0) << err.str();
    if (*library) Sim(library).SetLog("");
    if (!*library) test::WriteFile(log, out.str());
    const Lines verdicts =
        test::CheckRulesWithPythonCan(log, rules, {"1=7DF", "4=18DAF110", "6=123"});
    ASSERT_EQ(verdicts.size(), 3u) << ::testing::PrintToString(verdicts);
    for (const std::string& verdict : verdicts) {
      std::smatch frames;
      ASSERT_TRUE(
          std::regex_match(verdict, frames, std::regex("row \\d \\w+: (\\d+) frames right")))
          << verdict;
      EXPECT_GE(std::stoi(frames[1]), 20) << verdict;  // the counters wrapped
    }
  }
}

// The window's rules file is followed without being named; when it cannot
// be read the run goes on without rules, as the window does, but a file
// named with --rules must be read.
TEST_F(TelpodSendTest, TheWindowsRulesFileByDefaultANamedOneMustBeRead) {
  auto& usb = StartWithRows(PeriodicRows());
  test::WriteFile(RowRulesFile::Path(), RowRulesJson::Text(ThreeRules()));
  ASSERT_EQ(Run({"--seconds", "0.01"}), 0);
  // The first pass: D6 = 31 ^ 32 ^ 33; D2 = 250 and the CRC of 34 12 FA 53 54;
  // a DLC of 2 carries neither part of row 0's rule.
  ASSERT_GE(OutLines().size(), 3u);
  EXPECT_TRUE(OutLines()[0].ends_with(" 7DF#0102")) << OutLines()[0];
  EXPECT_TRUE(OutLines()[1].ends_with(" 18DAF110#3132333435303738")) << OutLines()[1];
  EXPECT_TRUE(OutLines()[2].ends_with(" 123#2FFA5354")) << OutLines()[2];
  test::WriteFile(RowRulesFile::Path(), "{\n  \"format\": 1,\n  \"rows\": [}\n");
  ASSERT_EQ(Run({"--seconds", "0.01"}), 0);
  EXPECT_TRUE(OutLines()[1].ends_with(" 18DAF110#3132333435363738")) << OutLines()[1];
  const Lines said = ErrLines();
  ASSERT_GE(said.size(), 2u);
  EXPECT_EQ(Lines(said.begin(), said.begin() + 2),
            (Lines{"The row rules file " + RowRulesFile::Path() +
                       " cannot be read at line 3: This is not well-formed JSON.",
                   "Every row is sent without rules. The file stays as it is until a rule is "
                   "changed."}));
  usb.Configure("canusb serial=LW000001\n");
  EXPECT_EQ(Run({"--rules", RowRulesFile::Path()}), 5);
  EXPECT_EQ(ErrLines(), (Lines{RowRulesFile::Path() + ":3: This is not well-formed JSON."}));
  EXPECT_EQ(Run({"--rules", Path("none.json")}), 5);
  EXPECT_EQ(ErrLines(), (Lines{"there is no rules file " + Path("none.json")}));
  EXPECT_TRUE(usb.Frames().empty());
}

TEST_F(TelpodSendTest, FailuresEndWithTheirStatusAndSendNothing) {
  test::WriteFile(Path("garbage.csv"), std::string("\x00\xFF\x1A garbage\r\n\x89", 14));
  test::WriteFile(Path("rows.txt"), "");
  const char* const kImportFailed = "Importing the settings failed.";
  // The adapter's configuration ("": found and working), the options, the
  // status, the messages.
  const std::tuple<std::string, Lines, int, Lines> cases[] = {
      {"", {"--rate", "3"}, 2, {"telpod-send --help lists the options"}},
      {"",
       {"--device", "CANUSB LW9"},
       3,
       {"--device CANUSB LW9 names none of the 2 listed devices (telpod-send --list)"}},
      {"",
       {"--device", "2", "--rate", "800k"},
       4,
       {"The selected bit rate is not supported.", "The connection ends.",
        "0 frames written, 0 failed writes, 0.000 seconds"}},
      {"canusb serial=LW000001 close=-1\n",
       {},
       4,
       {"The device is not working properly.", "The application ends."}},
      {"",
       {"--rows", Path("garbage.csv")},
       5,
       {kImportFailed, Path("garbage.csv"),
        Path("garbage.csv") + " is no settings file exported by TELPOD, or it holds no row"}},
      {"",
       {"--rows", Path("none.xls")},
       5,
       {kImportFailed, Path("none.xls"), "there is no file " + Path("none.xls")}},
      {"",
       {"--rows", Path("rows.txt")},
       5,
       {kImportFailed, Path("rows.txt"), "rows are read from .csv and .xls files only"}},
  };
  auto& usb = StartWithRows(PeriodicRows());
  auto& boards = InstallDriver(kIfCanLibraryFile, "ifcan port=2\n");
  for (const auto& [usb_config, args, status, tail] : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    usb.Configure(usb_config.empty() ? "canusb serial=LW000001\n" : usb_config);
    boards.Configure("ifcan port=2\n");
    EXPECT_EQ(Run(args), status);
    const Lines shown = ErrLines();
    ASSERT_GE(shown.size(), tail.size()) << err.str();
    EXPECT_EQ(Lines(shown.end() - static_cast<std::ptrdiff_t>(tail.size()), shown.end()), tail);
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(usb.Frames().empty());
    EXPECT_TRUE(boards.Frames().empty());
  }
}

// Sends the process a signal at the first frame line, as a user would
// while frames go out.
class SignalAtFirstLine : public std::streambuf {
 public:
  explicit SignalAtFirstLine(int signal_number) : signal_(signal_number) {}

 protected:
  int overflow(int c) override {
    if (c == '\n' && !std::exchange(sent_, true)) std::raise(signal_);
    return c;
  }

 private:
  int signal_;
  bool sent_ = false;
};

// A stop signal ends the run and closes the device; before the connection
// none is open, and the program ends as the signal would have ended it.
TEST_F(TelpodSendTest, AStopSignalEndsTheRunAndClosesTheDevice) {
  auto& usb = StartWithRows(PeriodicRows());
  for (const int signal_number : {SIGINT, SIGTERM, SIGPIPE}) {
    SCOPED_TRACE(signal_number);
    usb.Configure("canusb serial=LW000001\n");
    err.str("");
    SignalAtFirstLine buffer(signal_number);
    std::ostream frames(&buffer);
    EXPECT_EQ(TelpodSend({}, {frames, err, socketcan, &clock}), 0);
    const Lines calls = usb.CallLog();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().rfind("canusb_Close(", 0), 0u) << calls.back();
    EXPECT_EQ(usb.Calls("canusb_Open"), 2) << "the probe and the connection";
    EXPECT_GE(usb.Frames().size(), 1u);
    EXPECT_NE(err.str().find(" frames written, 0 failed writes, "), std::string::npos);
  }
  class SignalledKernel : public test::FakeSocketCanSystem {
   public:
    bool RawSocketsOffered() override {
      std::raise(SIGTERM);
      return false;
    }
  } kernel;
  usb.Configure("canusb serial=LW000001\n");
  EXPECT_EQ(TelpodSend({}, {out, err, kernel, &clock}), 128 + SIGTERM);
  EXPECT_EQ(usb.Calls("canusb_Open"), 0);
  EXPECT_EQ(out.str(), "");
}

TEST_F(TelpodSendTest, FramesTheDeviceRefusesAreCountedNotPrinted) {
  CAN_SendDB rows;
  rows.set_CAN_SendCycleOperation(2, 1);
  rows.set_CAN_SendCycleTime(2, 1);
  auto& usb = StartWithRows(rows);
  usb.Configure("canusb serial=LW000001 txqueue=3\n");
  ASSERT_EQ(Run({"--seconds", "0.05"}), 0);
  const long long writes = usb.Calls("canusb_Write");
  ASSERT_GT(writes, 3);
  EXPECT_EQ(OutLines().size(), 3u);
  EXPECT_EQ(ErrLines().back().rfind(
                "3 frames written, " + std::to_string(writes - 3) + " failed writes, ", 0),
            0u)
      << err.str();
}

TEST_F(TelpodSendTest, AnotherProgramsSettingsFileIsLeftAsItIs) {
  StartWithRows(PeriodicRows());
  test::WriteFile(FileSaveSystem::SettingFilePath(), "another program's file");
  ASSERT_EQ(Run({"--seconds", "0.01", "--quiet"}), 0);
  EXPECT_EQ(test::ReadFile(FileSaveSystem::SettingFilePath()), "another program's file");
  const Lines shown = ErrLines();
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown[0], FileSaveSystem::SettingFilePath() +
                          " belongs to another program or version: the default rows and bit "
                          "rate are used");
  EXPECT_EQ(shown[1], "no row sends periodically: nothing goes out");
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace telpod
