#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <streambuf>

#include "cli/rows_source.h"
#include "platform/driver_folders.h"
#include "send_program.h"
#include "settings/csv_export.h"
#include "settings/file_save_system.h"
#include "settings/settings_import.h"
#include "settings/xls/excel_install_check.h"
#include "settings/xls/xls_export.h"
#include "support/platform_fakes.h"

namespace telpod {
namespace {

using platform::kCanlibLibraryFile;
using platform::kCanusbLibraryFile;
using platform::kIfCanLibraryFile;
using Lines = std::vector<std::string>;

constexpr int32_t kFastId = 0x7DF;
constexpr int32_t kSlowId = 0x18DAF110;
constexpr double kFastPeriod = 20;
constexpr double kSlowPeriod = 50;
constexpr int32_t kRareId = 0x123;
constexpr double kRarePeriod = 2000;

// Periodic rows: a standard one at 20 ms, an extended one at 50 ms and one
// at 2 s; and a row that is not periodic.
CAN_SendDB PeriodicRows() {
  CAN_SendDB db;
  const auto row = [&](int16_t i, int32_t id, bool extended, uint8_t dlc, uint8_t first) {
    db.set_CAN_ID(i, id);
    db.set_CAN_Send29(i, extended ? 1 : 0);
    db.set_CAN_DLC(i, dlc);
    for (int n = 1; n <= 8; ++n) db.set_CAN_Data(n, i, static_cast<uint8_t>(first + n));
  };
  row(0, kFastId, false, 2, 0x10);
  db.set_CAN_SendCycleOperation(0, 1);
  db.set_CAN_SendCycleTime(0, kFastPeriod);
  row(3, kSlowId, true, 8, 0xA0);
  db.set_CAN_SendCycleOperation(3, 1);
  db.set_CAN_SendCycleTime(3, kSlowPeriod);
  row(5, kRareId, false, 4, 0x30);
  db.set_CAN_SendCycleOperation(5, 1);
  db.set_CAN_SendCycleTime(5, kRarePeriod);
  row(6, 0x456, false, 8, 0x40);
  return db;
}

// "7DF#1112": a sent frame as the end of its candump line.
std::string FrameText(const cansim_frame& f) {
  char text[64];
  int n = std::snprintf(text, sizeof text, f.extended ? "%08X#" : "%03X#", f.id);
  for (int k = 0; k < f.dlc && k < 8; ++k) n += std::snprintf(text + n, 8, "%02X", f.data[k]);
  return text;
}

class TelpodSendTest : public test::SendProgram {
 protected:
  // One adapter, and config.dat holding `rows` at `bit_rate`.
  test::SimControl& StartWithRows(const CAN_SendDB& rows, int32_t bit_rate = 2) {
    InstallClock();
    auto& usb = InstallDriver(kCanusbLibraryFile, "canusb serial=LW000001\n");
    ELM327_Info device;
    device.set_t_bitRate(bit_rate);
    EXPECT_EQ(FileSaveSystem::Save_SettingFile(device, rows), 0);
    return usb;
  }
  std::string Path(const char* name) const { return program.File(name); }
};

TEST_F(TelpodSendTest, ListShowsEveryDeviceAsTheWindowListsIt) {
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
}

// Start-up ends where the window's does, with its message in English.
TEST_F(TelpodSendTest, StartUpStopsWithTheWindowsMessages) {
  struct Case {
    const char* name;
    std::function<void()> setup;
    Lines err;
  };
  const std::string driver_folder = platform::DriverFolders().front();
  const Case cases[] = {
      {"no clock library",
       [&] {
         use_real_clock = true;
         InstallDriver(kCanusbLibraryFile, "");
       },
       {"telpod-send: libzqt100.so was not found.",
        "telpod-send: Use the libzqt100.so that comes with the program.",
        "telpod-send: The application ends."}},
      {"no driver library",
       [&] { InstallClock(); },
       {"telpod-send: libcanusbdrv.so, libIFCan.so or libcanlib.so.1 was not found.",
        "telpod-send: " + driver_folder + "/libcanusbdrv.so",
        "telpod-send: No driver is installed.", "telpod-send: The application ends."}},
      {"no device",
       [&] {
         InstallClock();
         InstallDriver(kCanusbLibraryFile, "# no adapters\n");
         InstallDriver(kCanlibLibraryFile, "kvaser held\n");
       },
       {"telpod-send: No device was found.", "telpod-send: The application ends."}},
  };
  for (const Case& c : cases) {
    for (const Lines& args : {Lines{"--list"}, Lines{"--seconds", "1"}}) {
      SCOPED_TRACE(std::string(c.name) + " " + args.front());
      std::filesystem::remove_all(program.path());
      std::filesystem::create_directories(program.File("drivers"));
      use_real_clock = false;
      c.setup();
      EXPECT_EQ(Run(args), 3);
      EXPECT_EQ(out.str(), "");
      Lines shown = ErrLines();
      if (args.front() != "--list" && c.err.size() < 4 && shown.size() > c.err.size()) {
        shown.erase(shown.begin());  // the note that there is no config.dat
      }
      EXPECT_EQ(shown, c.err);
    }
  }
}

enum class RowsFile { SettingsFile, Csv, Workbook };

std::string RowsFileName(RowsFile kind) {
  return kind == RowsFile::SettingsFile ? "SettingsFile"
         : kind == RowsFile::Csv        ? "Csv"
                                        : "Workbook";
}

class RowsFromEachFile : public TelpodSendTest, public ::testing::WithParamInterface<RowsFile> {
 protected:
  // The table written as the window would write it; the options that name
  // it. config.dat holds 250k, and rows of its own when a file is named.
  Lines WriteRows(const CAN_SendDB& rows) {
    ELM327_Info device;
    Setting_import_export::Check_Excel_Install(device);
    device.set_t_bitRate(3);
    CAN_SendDB table = rows;
    CAN_SendDB others;
    others.set_CAN_ID(7, 0x555);
    others.set_CAN_SendCycleOperation(7, 1);
    const bool in_config = GetParam() == RowsFile::SettingsFile;
    EXPECT_EQ(FileSaveSystem::Save_SettingFile(device, in_config ? rows : others), 0);
    test::RecordingMessages messages;
    switch (GetParam()) {
      case RowsFile::SettingsFile:
        return {};
      case RowsFile::Csv:
        Setting_import_export::Export_CSV(device, "rows.csv", program.path() + "/", table,
                                          messages);
        return {"--rows", Path("rows.csv")};
      case RowsFile::Workbook:
        Setting_import_export::Export_XLS(device, "rows.xls", program.path() + "/", table,
                                          messages);
        return {"--rows", Path("rows.xls")};
    }
    return {};
  }
};

// The frames that reach the adapter are the rows', at their periods, and
// each one is printed as the candump line of what the adapter took.
TEST_P(RowsFromEachFile, RowsReachTheSimulatorWithTheirIdsDataAndPeriods) {
  InstallClock();
  auto& usb = InstallDriver(kCanusbLibraryFile, "canusb serial=LW000001\n");
  Lines args = WriteRows(PeriodicRows());
  const std::string config_before = test::ReadFile(FileSaveSystem::SettingFilePath());
  args.insert(args.end(), {"--seconds", "1"});  // 1000 ms of the test's clock
  ASSERT_EQ(Run(args), 0) << err.str();

  const auto frames = usb.Frames();
  const Lines lines = OutLines();
  ASSERT_EQ(lines.size(), frames.size());
  const std::map<uint32_t, std::string> expected{
      {kFastId, "7DF#1112"}, {kSlowId, "18DAF110#A1A2A3A4A5A6A7A8"}, {kRareId, "123#31323334"}};
  std::map<uint32_t, int> sent;
  for (size_t k = 0; k < frames.size(); ++k) {
    const auto& f = frames[k];
    ASSERT_EQ(expected.count(f.id), 1u) << f.id;
    EXPECT_EQ(FrameText(f), expected.at(f.id)) << k;
    EXPECT_EQ(f.extended, f.id == kSlowId ? 1 : 0);
    EXPECT_EQ(lines[k].substr(lines[k].find(") ") + 2), "canusb-LW000001 " + expected.at(f.id));
    ++sent[f.id];
  }
  // Every periodic row goes out in the first pass, in row order.
  ASSERT_GE(frames.size(), 3u);
  EXPECT_EQ((std::vector<uint32_t>{frames[0].id, frames[1].id, frames[2].id}),
            (std::vector<uint32_t>{kFastId, kSlowId, kRareId}));
  EXPECT_EQ(sent[kRareId], 1);
  const int fast = sent[kFastId], slow = sent[kSlowId];
  // Never faster than the period, and no period skipped beyond the loop's
  // own passes (a pass takes about a millisecond of the test's clock).
  EXPECT_GE(fast, 1000 / (kFastPeriod + 2));
  EXPECT_LE(fast, 1000 / kFastPeriod + 1);
  EXPECT_GE(slow, 1000 / (kSlowPeriod + 2));
  EXPECT_LE(slow, 1000 / kSlowPeriod + 1);

  // config.dat's rate in every case; the file itself never written.
  EXPECT_NE(usb.CallsStartingWith("canusb_Open(").back().find("\"250\""), std::string::npos);
  EXPECT_EQ(test::ReadFile(FileSaveSystem::SettingFilePath()), config_before);
  EXPECT_EQ(ErrLines().back().rfind("telpod-send: " + std::to_string(frames.size()) +
                                        " frames written, 0 failed writes, 1.0",
                                    0),
            0u)
      << err.str();
}

INSTANTIATE_TEST_SUITE_P(EachKind, RowsFromEachFile,
                         ::testing::Values(RowsFile::SettingsFile, RowsFile::Csv,
                                           RowsFile::Workbook),
                         [](const auto& info) { return RowsFileName(info.param); });

// Every family's device, chosen by number or by its entry's text, sends
// under the name that identifies it.
TEST_F(TelpodSendTest, EachFamilysDeviceChosenByNumberOrText) {
  CAN_SendDB rows;
  rows.set_CAN_ID(0, kFastId);
  rows.set_CAN_SendCycleOperation(0, 1);
  rows.set_CAN_SendCycleTime(0, 10);
  StartWithRows(rows);
  auto& boards = InstallDriver(kIfCanLibraryFile, "ifcan port=2\n");
  auto& kvaser = InstallDriver(kCanlibLibraryFile, "kvaser held\nkvaser name=\"Kvaser B\"\n");
  socketcan.raw_sockets = true;
  socketcan.interfaces.push_back(test::VirtualLink("vcan0"));
  struct Case {
    std::string device;
    std::string name;
    std::function<size_t()> frames;
  };
  const Case cases[] = {
      {"2", "ifcan2", [&] { return boards.Frames().size(); }},
      {"Kvaser B", "kvaser1", [&] { return kvaser.Frames().size(); }},
      {"SocketCAN vcan0", "vcan0",
       [&] {
         return static_cast<size_t>(
             std::count(socketcan.calls.begin(), socketcan.calls.end(), "write:7DF:8"));
       }},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Run({"--device", c.device, "--seconds", "0.1"}), 0) << err.str();
    const Lines lines = OutLines();
    ASSERT_FALSE(lines.empty()) << c.device;
    EXPECT_EQ(c.frames(), lines.size()) << c.device;
    for (const auto& line : lines) {
      EXPECT_NE(line.find(") " + c.name + " 7DF#0000000000000000"), std::string::npos) << line;
    }
  }
}

// What can go wrong after start-up, each with its exit status and with
// nothing sent.
TEST_F(TelpodSendTest, FailuresEndWithTheirStatusAndSendNothing) {
  struct Case {
    const char* name;
    std::string usb_config;
    Lines args;
    int status;
    Lines err_tail;
  };
  test::WriteFile(Path("garbage.csv"), std::string("\x00\xFF\x1A garbage\r\n\x89", 14));
  test::WriteFile(Path("rows.txt"), "");
  const Case cases[] = {
      {"usage", "", {"--rate", "3"}, 2, {"telpod-send: telpod-send --help lists the options"}},
      {"past the list",
       "",
       {"--device", "3"},
       3,
       {"telpod-send: --device 3 names none of the 2 listed devices (telpod-send --list)"}},
      {"no such entry",
       "",
       {"--device", "CANUSB LW9"},
       3,
       {"telpod-send: --device CANUSB LW9 names none of the 2 listed devices (telpod-send "
        "--list)"}},
      {"adapter will not open",
       "canusb serial=LW000001 open=fail\n",
       {},
       4,
       {"telpod-send: The device is not working properly.", "telpod-send: The connection ends.",
        "telpod-send: 0 frames written, 0 failed writes, 0.000 seconds"}},
      {"rate not offered",
       "",
       {"--device", "2", "--rate", "800k"},
       4,
       {"telpod-send: The selected bit rate is not supported.", "telpod-send: The connection ends.",
        "telpod-send: 0 frames written, 0 failed writes, 0.000 seconds"}},
      {"adapter fails its probe",
       "canusb serial=LW000001 close=-1\n",
       {},
       4,
       {"telpod-send: The device is not working properly.", "telpod-send: The application ends."}},
      {"garbage rows",
       "",
       {"--rows", Path("garbage.csv")},
       5,
       {"telpod-send: Importing the settings failed.", "telpod-send: " + Path("garbage.csv"),
        "telpod-send: " + Path("garbage.csv") +
            " is no settings file exported by TELPOD, or it holds no row"}},
      {"missing rows",
       "",
       {"--rows", Path("none.xls")},
       5,
       {"telpod-send: Importing the settings failed.", "telpod-send: " + Path("none.xls"),
        "telpod-send: there is no file " + Path("none.xls")}},
      {"rows of another kind",
       "",
       {"--rows", Path("rows.txt")},
       5,
       {"telpod-send: Importing the settings failed.", "telpod-send: " + Path("rows.txt"),
        "telpod-send: rows are read from .csv and .xls files only"}},
  };
  auto& usb = StartWithRows(PeriodicRows());
  auto& boards = InstallDriver(kIfCanLibraryFile, "ifcan port=2\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    usb.Configure(c.usb_config.empty() ? "canusb serial=LW000001\n" : c.usb_config);
    boards.Configure("ifcan port=2\n");
    EXPECT_EQ(Run(c.args), c.status);
    const Lines shown = ErrLines();
    ASSERT_GE(shown.size(), c.err_tail.size()) << err.str();
    EXPECT_EQ(Lines(shown.end() - static_cast<std::ptrdiff_t>(c.err_tail.size()), shown.end()),
              c.err_tail);
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(usb.Frames().empty());
    EXPECT_TRUE(boards.Frames().empty());
  }
}

// A stream that sends the process a signal when the first frame line is
// printed, as a user would while frames go out.
class SignalAtFirstLine : public std::streambuf {
 public:
  explicit SignalAtFirstLine(int signal_number) : signal_(signal_number) {}

 protected:
  int overflow(int c) override {
    if (c == '\n' && !sent_) {
      sent_ = true;
      std::raise(signal_);
    }
    return c;
  }

 private:
  int signal_;
  bool sent_ = false;
};

TEST_F(TelpodSendTest, AStopSignalEndsTheRunAndClosesTheDevice) {
  auto& usb = StartWithRows(PeriodicRows());
  for (const int signal_number : {SIGINT, SIGTERM, SIGPIPE}) {
    SCOPED_TRACE(signal_number);
    usb.Configure("canusb serial=LW000001\n");
    SignalAtFirstLine buffer(signal_number);
    std::ostream frames(&buffer);
    EXPECT_EQ(TelpodSend({}, {frames, err, socketcan, &clock}), 0);
    const Lines calls = usb.CallLog();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().rfind("canusb_Close(", 0), 0u) << calls.back();
    EXPECT_EQ(usb.Calls("canusb_Open"), 2) << "the probe and the connection";
    EXPECT_GE(usb.Frames().size(), 1u);
    EXPECT_NE(err.str().find(" frames written, 0 failed writes, "), std::string::npos);
    err.str("");
  }
}

// Before the connection no device is open: the program ends as the signal
// would have ended it, and opens nothing.
TEST_F(TelpodSendTest, AStopSignalDuringStartUpEndsItAtOnce) {
  class SignalledKernel : public test::FakeSocketCanSystem {
   public:
    bool RawSocketsOffered() override {
      std::raise(SIGTERM);
      return false;
    }
  } kernel;
  auto& usb = StartWithRows(PeriodicRows());
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
  EXPECT_EQ(
      ErrLines().back().rfind(
          "telpod-send: 3 frames written, " + std::to_string(writes - 3) + " failed writes, ", 0),
      0u)
      << err.str();
}

TEST_F(TelpodSendTest, AnotherProgramsSettingsFileIsLeftAsItIs) {
  StartWithRows(PeriodicRows());
  test::WriteFile(FileSaveSystem::SettingFilePath(), "another program's file");
  ASSERT_EQ(Run({"--seconds", "0.01", "--quiet"}), 0);
  EXPECT_EQ(test::ReadFile(FileSaveSystem::SettingFilePath()), "another program's file");
  EXPECT_EQ(ErrLines().front(), "telpod-send: " + FileSaveSystem::SettingFilePath() +
                                    " belongs to another program or version: the default rows "
                                    "and bit rate are used");
  EXPECT_EQ(ErrLines()[1], "telpod-send: no row sends periodically: nothing goes out");
  EXPECT_EQ(out.str(), "");
}

// scripts/run sends this table when there is no display to show the window.
TEST(DemoTable, ReadsAsAnExportWithPeriodicRows) {
  ELM327_Info device;
  CAN_SendDB rows;
  ASSERT_EQ(Setting_import_export::Import_Settings_File(
                device, std::string(TELPOD_SOURCE_DIR) + "/scripts/demo-rows.csv", rows),
            1);
  EXPECT_TRUE(AnyPeriodicRow(rows));
}

}  // namespace
}  // namespace telpod
