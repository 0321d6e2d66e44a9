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
#include "support/child_process.h"
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
  const std::tuple<int16_t, int32_t, uint8_t, double, bool> rows[] = {{0, 0x7DF, 2, 20, true},
                                                                      {3, 0x18DAF110, 8, 50, true},
                                                                      {5, 0x123, 4, 2000, true},
                                                                      {6, 0x456, 8, 10, false}};
  for (const auto& [i, id, dlc, period, periodic] : rows) {
    db.set_CAN_ID(i, id);
    db.set_CAN_Send29(i, id > 0x7FF ? 1 : 0);
    db.set_CAN_DLC(i, dlc);
    for (int n = 1; n <= 8; ++n) db.set_CAN_Data(n, i, static_cast<uint8_t>(i * 16 + n));
    db.set_CAN_SendCycleOperation(i, periodic ? 1 : 0);
    db.set_CAN_SendCycleTime(i, period);
  }
  return db;
}

// A rows file as a user writes one, with the given row lines.
std::string HandWritten(const std::vector<std::string>& rows) {
  std::string text =
      "TELPOD Ver1.11\n設定ファイル\nNo,E,ID,DLC,D1,D2,D3,D4,D5,D6,D7,D8,時間[ms],定期";
  for (const auto& row : rows) text += "\n" + row;
  return text;
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
  test::WriteFile(Path("out-of-range.csv"),
                  HandWritten({"1,1,20000000,8,,,,,,,,,100,1", "2,0,7DF,9,,,,,,,,,0,1"}));
  std::filesystem::create_directory(Path("folder.csv"));
  const auto refused = [&](const std::string& file, const std::string& why) {
    return "cannot read rows from " + Path(file) + ": " + why;
  };
  // The adapter's configuration ("": found and working), the options, the
  // status, the messages.
  const std::tuple<std::string, Lines, int, Lines> cases[] = {
      {"", {"--rate", "3"}, 2, {"telpod-send --help lists the options"}},
      {"",
       {"--device", "2", "--device", "1"},
       2,
       {"--device is given twice", "telpod-send --help lists the options"}},
      {"",
       {"--device", "CANUSB LW9"},
       3,
       {"--device CANUSB LW9 names none of the 2 listed devices (telpod-send --list)"}},
      {"",
       {"--device", "2", "--rate", "800000"},
       4,
       {"The selected bit rate is not supported.", "The connection ends.",
        "Interface devices take 1M, 500k, 250k, 125k, 100k, 50k (--rate)",
        "0 frames written, 0 failed writes, 0.000 seconds"}},
      {"canusb serial=LW000001 close=-1\n",
       {},
       4,
       {"The device is not working properly.", "The application ends."}},
      {"",
       {"--rows", Path("garbage.csv")},
       5,
       {refused("garbage.csv",
                "it has no line holding \"TELPOD Ver\" (line 1 of an export) nor one holding "
                "\"設定ファイル\" (line 2 of an export)")}},
      {"", {"--rows", Path("none.xls")}, 5, {refused("none.xls", "there is no such file")}},
      {"",
       {"--rows", Path("rows.txt")},
       5,
       {refused("rows.txt", "rows are read from .csv and .xls files only")}},
      {"", {"--rows", Path("folder.csv")}, 5, {refused("folder.csv", "it is a directory")}},
      {"",
       {"--rows", Path("out-of-range.csv")},
       5,
       {Path("out-of-range.csv") + " line 4: ID \"20000000\" is not valid, the default 1 is used",
        Path("out-of-range.csv") + " line 5: DLC \"9\" is not valid, the default 8 is used",
        Path("out-of-range.csv") + " line 5: period \"0\" is not valid, the default 100 is used",
        Path("out-of-range.csv") +
            ": 3 fields are not valid, so nothing is sent (--lenient sends the defaults in their "
            "place)"}},
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

// A rows file the user may not read says so in the system's words.
TEST_F(TelpodSendTest, AnUnreadableRowsFileSaysPermissionDenied) {
  StartWithRows(PeriodicRows());
  test::WriteFile(Path("locked.csv"), HandWritten({"1,0,7DF,8,,,,,,,,,100,1"}));
  std::filesystem::permissions(Path("locked.csv"), std::filesystem::perms::none);
  CopyLinkedLibraries();
  EXPECT_EQ(test::AsOrdinaryUser(program.path(),
                                 [&] {
                                   const int status = Run({"--rows", Path("locked.csv")});
                                   return status == 5 &&
                                                  ErrLines().back() == "cannot read rows from " +
                                                                           Path("locked.csv") +
                                                                           ": Permission denied"
                                              ? 0
                                              : 1;
                                 }),
            0);
}

// With --lenient the defaults go out in the invalid fields' place; a row
// whose standard identifier does not fit is named and not sent.
TEST_F(TelpodSendTest, LenientSendsTheDefaultsAndRowsThatCannotGoOutAreNamed) {
  auto& usb = StartWithRows(PeriodicRows());
  test::WriteFile(Path("rows.csv"),
                  HandWritten({"1,1,FFFFFFFF,2,AA,BB,,,,,,,10,1", "2,0,800,8,,,,,,,,,10,1"}));
  ASSERT_EQ(Run({"--rows", Path("rows.csv"), "--lenient", "--seconds", "0.05"}), 0) << err.str();
  const Lines shown = ErrLines();
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown[0],
            Path("rows.csv") + " line 4: ID \"FFFFFFFF\" is not valid, the default 1 is used");
  EXPECT_EQ(shown[1],
            "row 2 is not sent: its standard identifier 800 needs more than 11 bits (above 7FF)");
  const Lines frames = FramesOf(OutLines());
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(std::count(frames.begin(), frames.end(), "00000001#AABB"), frames.size());
  EXPECT_EQ(usb.Frames().size(), frames.size());

  test::WriteFile(Path("rows.csv"), HandWritten({"2,0,800,8,,,,,,,,,10,1"}));
  ASSERT_EQ(Run({"--rows", Path("rows.csv"), "--seconds", "0.05"}), 0) << err.str();
  EXPECT_EQ(FramesOf(OutLines()), Lines());
  EXPECT_EQ(ErrLines()[1], "no periodic row can be sent: nothing goes out");
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
  const auto hang_up = std::signal(SIGHUP, SIG_DFL);  // as a terminal's program has it
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
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
  std::signal(SIGHUP, hang_up);
}

// Before the frames, what the periodic rows ask of the bus at the rate of
// the run, and a warning when the bus cannot carry it; after them, the
// load achieved: the bits of the frames the adapter took over the run.
TEST_F(TelpodSendTest, TheBusLoadIsEstimatedBeforeAndAchievedInTheSummary) {
  CAN_SendDB eight_at_1ms;
  for (int16_t i = 0; i < 8; ++i) {
    eight_at_1ms.set_CAN_SendCycleOperation(i, 1);
    eight_at_1ms.set_CAN_SendCycleTime(i, 1);
  }
  const char* const kOver =
      "warning: that is more than the bus carries: frames will go out late or be refused";
  const std::tuple<CAN_SendDB, Lines, Lines> cases[] = {
      {eight_at_1ms,
       {"--rate", "125k"},
       {"bus load: the periodic rows ask 864.0% of 125k bps", kOver}},
      {eight_at_1ms, {"--rate", "1M"}, {"bus load: the periodic rows ask 108.0% of 1M bps", kOver}},
      // 75 bits 50 times a second, 160 bits 20 times, 95 bits half a time.
      {PeriodicRows(), {}, {"bus load: the periodic rows ask 1.4% of 500k bps"}},
  };
  auto& usb = StartWithRows(PeriodicRows());
  for (const auto& [rows, rate, said] : cases) {
    SaveRows(rows);
    usb.Configure("canusb serial=LW000001\n");
    Lines args = rate;
    args.insert(args.end(), {"--seconds", "0.5"});
    ASSERT_EQ(Run(args), 0) << err.str();
    Lines load;
    for (const std::string& line : ErrLines()) {
      if (line.starts_with("bus load: ") || line.starts_with("warning: ")) load.push_back(line);
    }
    ASSERT_FALSE(load.empty()) << err.str();
    load[0] = load[0].substr(0, load[0].find(" (frames at their worst-case length)"));
    EXPECT_EQ(load, said);
  }
  // The last run's frames (standard and extended, of three lengths), counted
  // at their worst-case bits over its seconds, at 500k.
  double bits = 0;
  for (const std::string& frame : FramesOf(OutLines())) {
    const size_t bytes = (frame.size() - frame.find('#') - 1) / 2;
    bits += (frame.find('#') > 3 ? 80 : 55) + 10.0 * static_cast<double>(bytes);
  }
  const std::string summary = ErrLines().back();
  const double seconds = std::stod(summary.substr(summary.find("writes, ") + 8));
  const size_t achieved = summary.find(" seconds, achieved bus load ");
  ASSERT_NE(achieved, std::string::npos) << summary;
  EXPECT_NEAR(std::stod(summary.substr(achieved + 28)), bits / seconds / 500'000 * 100, 0.1)
      << summary;
}

// Refused frames and a bus in trouble end the run with their own status,
// the summary naming the bus state as the window's status box does, unless
// the run is told to allow them.
TEST_F(TelpodSendTest, FramesTheDeviceRefusesAreCountedNotPrintedAndFailTheRun) {
  CAN_SendDB rows;
  rows.set_CAN_SendCycleOperation(2, 1);
  rows.set_CAN_SendCycleTime(2, 1);
  auto& usb = StartWithRows(rows);
  // The adapter's bus, the options, the status, frames written, the state.
  const std::tuple<std::string, Lines, int, size_t, std::string> cases[] = {
      {"txqueue=3", {}, 6, 3, ", error passive"},
      {"txqueue=3", {"--allow-failed-writes"}, 0, 3, ", error passive"},
      {"busoff", {}, 6, 0, ", bus off"},
      {"", {}, 0, 0, ""},
  };
  for (const auto& [bus, options, status, written, state] : cases) {
    SCOPED_TRACE(bus + ::testing::PrintToString(options));
    usb.Configure("canusb serial=LW000001 " + bus + "\n");
    Lines args = {"--seconds", "0.05"};
    args.insert(args.end(), options.begin(), options.end());
    ASSERT_EQ(Run(args), status);
    const long long writes = usb.Calls("canusb_Write");
    ASSERT_GT(writes, 3);
    const size_t taken = bus.empty() ? static_cast<size_t>(writes) : written;
    EXPECT_EQ(OutLines().size(), taken);
    const std::string summary = ErrLines().back();
    EXPECT_EQ(summary.rfind(std::to_string(taken) + " frames written, " +
                                std::to_string(writes - static_cast<long long>(taken)) +
                                " failed writes, ",
                            0),
              0u)
        << summary;
    EXPECT_NE(summary.find(" seconds, achieved bus load "), std::string::npos) << summary;
    EXPECT_TRUE(summary.ends_with("%" + state)) << summary;
  }
}

// Another program's config.dat stays as it is; the note names what the run
// takes instead of it, and only what the options leave to it.
TEST_F(TelpodSendTest, AnotherProgramsSettingsFileIsLeftAsItIs) {
  StartWithRows(PeriodicRows());
  test::WriteFile(FileSaveSystem::SettingFilePath(), "another program's file");
  const std::string example = TELPOD_SOURCE_DIR "/packaging/examples/rows.csv";
  const std::string foreign =
      FileSaveSystem::SettingFilePath() + " belongs to another program or version: ";
  const std::pair<Lines, std::string> cases[] = {
      {{}, foreign + "the default rows and bit rate (500k bps) are used"},
      {{"--rate", "250"}, foreign + "the default rows are used"},
      {{"--rows", example}, foreign + "the default bit rate (500k bps) is used"},
      {{"--rows", example, "--rate", "1M"}, ""},
  };
  for (const auto& [options, note] : cases) {
    Lines args = {"--seconds", "0.01", "--quiet"};
    args.insert(args.end(), options.begin(), options.end());
    ASSERT_EQ(Run(args), 0) << err.str();
    const Lines shown = ErrLines();
    ASSERT_FALSE(shown.empty());
    if (note.empty()) {
      // The example's three rows: 135 bits 10 times a second, 160 4 times, 95 twice.
      EXPECT_EQ(Lines(shown.begin(), shown.end() - 1),
                Lines{"bus load: the periodic rows ask 0.2% of 1M bps (frames at their "
                      "worst-case length)"})
          << "the estimate and the summary alone";
    }
    if (!note.empty()) {
      EXPECT_EQ(shown[0], note);
    }
    if (options.empty()) {
      EXPECT_EQ(shown[1], "no row sends periodically: nothing goes out");
    }
  }
  EXPECT_EQ(test::ReadFile(FileSaveSystem::SettingFilePath()), "another program's file");
  EXPECT_EQ(out.str(), "");
}

// A log plays on its own, the rows of config.dat quiet unless --rows asks
// for rows too; each frame is printed as it goes out, and the run ends
// with the log (or --seconds before it) and the replay's summary.
TEST_F(TelpodSendTest, AReplayedLogGoesOutAndEndsTheRun) {
  auto& usb = StartWithRows(PeriodicRows());
  test::WriteFile(Path("drive.log"),
                  "(1.000) can0 7DF#0201\n(1.010) can1 18DAF110#11\n(1.020) can0 123#R4\n"
                  "(1.020) can0 123##0AA\n(1.030) can0 7E8#03\n");
  CAN_SendDB rows;
  rows.set_CAN_ID(0, 0x555);
  rows.set_CAN_SendCycleOperation(0, 1);
  rows.set_CAN_SendCycleTime(0, 1000);
  ELM327_Info device;
  test::RecordingMessages exported;
  Setting_import_export::Export_CSV(device, "rows.csv", program.path() + "/", rows, exported);
  const std::string recorded = "Recorded 0.030 s, played 0.0";
  const std::tuple<Lines, Lines, Lines> cases[] = {
      {{},
       {"7DF#0201", "18DAF110#11", "123#R4", "7E8#03"},
       {"Frames sent: 4, refused: 0", "Not sent: CAN FD frames: 1", recorded}},
      {{"--from", "can0", "--quiet"},
       {},
       {"Frames sent: 3, refused: 0", "Not sent: CAN FD frames: 1, frames of other channels: 1"}},
      {{"--ids", "7DF,7E0-7EF", "--loop", "2", "--speed", "2"},
       {"7DF#0201", "7E8#03", "7DF#0201", "7E8#03"},
       {"Frames sent: 4, refused: 0",
        "Not sent: CAN FD frames: 2, frames of identifiers not chosen: 4",
        "Recorded 0.090 s, played 0.04", "Rounds: 2"}},
      {{"--rows", Path("rows.csv"), "--ids", "123"}, {"555#0000000000000000", "123#R4"}, {}},
      {{"--seconds", "0.015"},
       {"7DF#0201", "18DAF110#11"},
       {"Frames sent: 2, refused: 0", "The replay was stopped before its end."}},
  };
  for (const auto& [options, frames, summary] : cases) {
    SCOPED_TRACE(::testing::PrintToString(options));
    usb.Configure("canusb serial=LW000001\n");
    Lines args = {"--replay", Path("drive.log")};
    args.insert(args.end(), options.begin(), options.end());
    ASSERT_EQ(Run(args), 0) << err.str();
    EXPECT_EQ(FramesOf(OutLines()), frames);
    const Lines shown = ErrLines();
    for (const std::string& line : summary) {
      EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                              [&](const std::string& s) { return s.rfind(line, 0) == 0; }))
          << line << "\n"
          << err.str();
    }
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const std::string& s) {
      return s.starts_with("Lateness: median ");
    })) << err.str();
    // The log's frames count toward the load achieved; quiet rows ask for none.
    const bool rows = !options.empty() && options.front() == "--rows";
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                            [](const std::string& s) { return s.starts_with("bus load: "); }),
              rows ? 1 : 0);
    const auto load = std::find_if(shown.begin(), shown.end(), [](const std::string& s) {
      return s.find(" seconds, achieved bus load ") != std::string::npos;
    });
    ASSERT_NE(load, shown.end()) << err.str();
    EXPECT_GT(std::stod(load->substr(load->rfind(' ') + 1)), 0.0) << *load;
  }
}

// A log that cannot be played ends the run before any device is opened.
TEST_F(TelpodSendTest, AnUnreadableLogEndsWithItsOwnStatus) {
  auto& usb = StartWithRows(PeriodicRows());
  test::WriteFile(Path("fd.log"), "(1.0) can0 123##1AA\nnot a frame\n");
  const std::pair<std::string, Lines> cases[] = {
      {Path("none.log"), {"Cannot open the log file " + Path("none.log") + "."}},
      {Path("fd.log"),
       {"The log file " + Path("fd.log") + " holds no frame that can be sent.",
        "CAN FD frames: 1, unreadable lines: 1"}},
  };
  for (const auto& [log, shown] : cases) {
    EXPECT_EQ(Run({"--replay", log}), 7);
    EXPECT_EQ(ErrLines(), shown);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(usb.Calls("canusb_Open"), 0);
  }
}

}  // namespace
}  // namespace telpod
