// The simulated drivers answer like real ones: they refuse what a real
// driver refuses, log what goes on the wire and take their configuration
// from CANSIM_CONFIG.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "abi/le_bytes.h"
#include "devices/simulated_devices.h"
#include "support/python_can_reader.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

using test::SimulatorPath;
using Simulator = test::SimulatedDevices;

CANMsg Frame(uint32_t id, uint8_t flags, uint8_t len) {
  CANMsg msg{id, 0, flags, len, {}};
  for (uint8_t i = 0; i < 8; ++i) msg.data[i] = static_cast<uint8_t>(0x10 + i);
  return msg;
}

TEST_F(Simulator, CanusbRefusesBadFramesRatesAndHandlesWithItsErrorCodes) {
  const CanusbDriver& d = *canusb();
  EXPECT_EQ(d.Open("LWSIM001", "", 0, -1, 1), -6);
  EXPECT_EQ(d.Open("LWSIM001", "333", 0, -1, 1), -6);
  EXPECT_EQ(d.Open("NOSUCH01", "500", 0, -1, 1), -9);
  const int32_t h = d.Open("LWSIM001", "10", 0, -1, 1);
  ASSERT_EQ(h, 1);
  EXPECT_EQ(d.Open("LWSIM001", "500", 0, -1, 1), -2);  // already open
  CANMsg bad[] = {Frame(0x100, 0, 9), Frame(0x800, 0, 8), Frame(0x20000000, 0x80, 8)};
  for (CANMsg& msg : bad) EXPECT_EQ(d.canusb_Write(h, &msg), -6) << msg.id;
  EXPECT_EQ(d.canusb_Write(h, nullptr), -6);
  CANMsg good = Frame(0x1FFFFFFF, 0x80, 8);
  EXPECT_EQ(d.canusb_Write(h + 1, &good), -4);
  EXPECT_EQ(d.canusb_Write(-1, &good), -4);
  EXPECT_EQ(d.canusb_Write(h, &good), 1);
  EXPECT_EQ(d.Close(h), 1);
  EXPECT_EQ(d.Close(h), -4);
  EXPECT_EQ(d.canusb_Write(h, &good), -4);
  EXPECT_EQ(usb.Frames().size(), 1u);
}

TEST_F(Simulator, InterfaceBoardRefusesBadMessagesAndHandles) {
  const IfCanDriver& d = *ifcan();
  const int32_t h = d.OpenPort(1);
  ASSERT_GT(h, 0);
  EXPECT_EQ(d.OpenPort(1), -1);  // one opener at a time
  EXPECT_EQ(d.OpenPort(2), -1);
  uint8_t frame[24] = {};
  const auto send = [&](uint32_t length, uint32_t id, uint32_t count) {
    PutLe32(frame, length);
    PutLe32(frame + 8, id);  // bit 31: a 29-bit identifier
    return d.CanSendMessage(h, frame, count);
  };
  EXPECT_EQ(send(9, 0x100, 1), 0xC0000003u);
  EXPECT_EQ(send(8, 0x800, 1), 0xC0000003u);
  EXPECT_EQ(send(8, 0xA0000000u, 1), 0xC0000003u);
  EXPECT_EQ(send(8, 0x80000800u, 0), 0xC0000003u);
  EXPECT_EQ(send(8, 0x80000800u, 1), 0u);
  EXPECT_EQ(d.CanSendMessage(h, nullptr, 1), 0xC0000003u);
  EXPECT_EQ(d.CanSendMessage(h + 5, frame, 1), 0xC000000Au);
  EXPECT_EQ(d.CanGetConfig(-1, frame), 0xC000000Au);
  EXPECT_EQ(d.CanClosePort(h), 0u);
  EXPECT_EQ(d.CanClosePort(h), 0xC000000Au);
  EXPECT_EQ(boards.Frames().size(), 1u);
}

TEST_F(Simulator, CanlibRefusesBadWritesAndHandles) {
  const CanlibDriver& d = *canlib();
  EXPECT_EQ(d.canOpenChannel(0, 0x80), -8);  // before canInitializeLibrary
  d.canInitializeLibrary();
  EXPECT_EQ(d.canOpenChannel(1, 0x80), -3);
  const canHandle h = d.canOpenChannel(0, 0x80);
  ASSERT_GE(h, 0);
  EXPECT_EQ(d.canOpenChannel(0, 0x80), -31);  // init access already taken
  uint8_t data[9] = {1, 2, 3, 4, 5, 6, 7, 8, 0};
  // Identifier, length, flags: a length above 8, an identifier too large for
  // its format, both formats at once, a negative identifier.
  const std::tuple<long, unsigned, unsigned> cases[] = {
      {0x100, 9, 2}, {0x800, 8, 2}, {0x20000000L, 8, 4}, {0x100, 8, 6}, {-1, 8, 2}};
  for (const auto& [id, length, flags] : cases) {
    EXPECT_EQ(d.canWrite(h, id, data, length, flags), -1) << id;
  }
  EXPECT_EQ(d.canWrite(h + 1, 0x100, data, 8, 2), -10);
  EXPECT_EQ(d.canSetBusParams(h, -10, 5, 2, 1, 1, 0), -1);
  EXPECT_EQ(d.canSetBusParams(h, -4, 5, 2, 1, 1, 0), 0);
  EXPECT_EQ(d.canWrite(h, 0x1FFFFFFFL, data, 3, 4), 0);
  EXPECT_EQ(d.canClose(h), 0);
  EXPECT_EQ(d.canClose(h), -10);
  ASSERT_EQ(kvaser.Frames().size(), 1u);
  EXPECT_EQ(kvaser.Frames()[0].dlc, 3);
  EXPECT_EQ(kvaser.Frames()[0].extended, 1);
}

// The three libraries append to one frame log, as the demo has them, and
// python-can reads every line of it.
TEST_F(Simulator, TheThreeLibrariesShareOneFrameLog) {
  test::TempFolder folder;
  const std::string log = folder.File("frames.log");
  for (test::SimControl* sim : {&usb, &boards, &kvaser}) sim->SetLog(log);
  CANMsg msg = Frame(0x7DF, 0, 2);
  canusb()->canusb_Write(canusb()->Open("LWSIM001", "500", 0, -1, 1), &msg);
  uint8_t record[24] = {2, 0, 0, 0, 0, 0, 0, 0, 0x10, 0xF1, 0xDA, 0x98, 0x10, 0x11};
  ifcan()->CanSendMessage(ifcan()->OpenPort(1), record, 1);
  canlib()->canInitializeLibrary();
  canlib()->canWrite(canlib()->canOpenChannel(0, 0x80), 0x123, record + 12, 2, 2);
  for (test::SimControl* sim : {&usb, &boards, &kvaser}) sim->SetLog("");
  EXPECT_EQ(test::ReadWithPythonCan(log),
            (std::vector<std::string>{"canusb0 7DF S D 2 1011", "ifcan1 18DAF110 X D 2 1011",
                                      "kvaser0 123 S D 2 1011"}));
}

// After `txqueue` frames since the open every write finds the queue full
// and the controller error passive; `busoff` takes no frame at all.
TEST_F(Simulator, ALonelyBusFillsTheQueueAndTheStateCallsSaySo) {
  usb.Configure("canusb serial=LW000001 txqueue=2\ncanusb serial=LW000002 busoff\n");
  const CanusbDriver& u = *canusb();
  CANMsg msg = Frame(0x100, 0, 8);
  std::vector<int> usb_results;
  for (int open = 0; open < 2; ++open) {
    const int32_t h = u.Open("LW000001", "500", 0, -1, 1);
    usb_results.push_back(u.canusb_Status(h));
    for (int i = 0; i < 3; ++i) usb_results.push_back(u.canusb_Write(h, &msg));
    usb_results.push_back(u.canusb_Status(h));
    u.Close(h);
  }
  const int32_t off = u.Open("LW000002", "500", 0, -1, 1);
  usb_results.insert(usb_results.end(), {u.canusb_Write(off, &msg), u.canusb_Status(off)});
  usb_results.push_back(u.canusb_Status(off + 1));
  // CANSTATUS: 0x26 transmit FIFO full, error warning, error passive; 0x80 bus error.
  EXPECT_EQ(usb_results, (std::vector<int>{0, 1, 1, -5, 0x26, 0, 1, 1, -5, 0x26, -5, 0xA6, -4}));
  EXPECT_EQ(usb.Frames().size(), 4u);

  boards.Configure("ifcan port=1 txqueue=1\nifcan port=2 busoff\n");
  uint8_t frame[24] = {8};
  const IfCanDriver& b = *ifcan();
  const int32_t board = b.OpenPort(1), board_off = b.OpenPort(2);
  EXPECT_EQ(
      (std::vector<uint32_t>{b.CanSendMessage(board, frame, 1), b.CanSendMessage(board, frame, 1),
                             b.CanSendMessage(board_off, frame, 1)}),
      (std::vector<uint32_t>{0, 0xC0000007u, 0xC0000007u}));

  kvaser.Configure("kvaser name=a txqueue=1\nkvaser name=b busoff\n");
  const CanlibDriver& k = *canlib();
  k.canInitializeLibrary();
  const canHandle h = k.canOpenChannel(0, 0x80), h_off = k.canOpenChannel(1, 0x80);
  uint8_t data[8] = {};
  unsigned long flags = 0;
  std::vector<long> kv_results;
  const auto status = [&](canHandle handle) {
    flags = 0;
    kv_results.push_back(k.canReadStatus(handle, &flags));
    kv_results.push_back(static_cast<long>(flags));
  };
  status(h);  // not on the bus yet
  k.canBusOn(h);
  k.canBusOn(h_off);
  status(h);
  for (canHandle handle : {h, h, h_off}) kv_results.push_back(k.canWrite(handle, 1, data, 8, 2));
  status(h);
  status(h_off);
  kv_results.push_back(k.canReadStatus(h, nullptr));
  kv_results.push_back(k.canReadStatus(h + 5, &flags));
  // canSTAT: 2 bus off, 8 error active, 0x15 error passive, error warning, TX pending.
  EXPECT_EQ(kv_results, (std::vector<long>{0, 2, 0, 8, 0, -13, -13, 0, 0x15, 0, 2, -1, -10}));
}

TEST_F(Simulator, ConfigurationErrorsNameTheirLineAndKeepTheOldState) {
  usb.Configure("canusb serial=LW000001\ncanusb serial=LW000002\n");
  const std::pair<const char*, const char*> cases[] = {
      {"canusb\n", "line 1: canusb: serial= is required"},
      {"\n# fine\ncanusb serial=A colour=red", "line 3: canusb: unknown key: colour"},
      {"ifcan port=256", "line 1: ifcan: port must be 1..255"},
      {"ifcan port=1\nifcan port=1", "line 2: ifcan: port listed twice"},
      {"ifcan port=1 config=1,2,3", "line 1: ifcan: config= takes seven words"},
      {"kvaser serial=12x", "line 1: serial: not a number: 12x"},
      {"kvaser firmware=1.2.3", "line 1: firmware: want major.minor.release.build: 1.2.3"},
      {"kvaser name=\"open", "line 1: unterminated quote"},
      {"fault canFly result=1", "line 1: fault: unknown entry point canFly"},
      {"adapter serial=1", "line 1: unknown statement: adapter"},
      {"canusb serial=A txqueue=-1", "line 1: txqueue: want 0 or more frames"},
      {"ifcan port=1 txqueue=many", "line 1: txqueue: not a number: many"},
      {"kvaser bus-off", "line 1: unknown word: bus-off"},
      {"shared-bus /run/x", "line 1: shared-bus: want folder=PATH or nothing"},
      {"shared-bus place=/run/x", "line 1: shared-bus: unknown key: place"},
  };
  for (const auto& [config, error] : cases) EXPECT_EQ(usb.ConfigureError(config), error);
  FindAdapters();
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 2);
}

// Accepted frames go to the log in plain candump format, which python-can
// reads back, remote frames with and without a length included; the records
// as handed over go to their own file, a line per frame with the same stamp.
TEST(SimulatorEnvironment, NamesConfigurationAndLogsAtLoad) {
  // A copy of the library is a library of its own, so it reads the
  // environment afresh whatever this process loaded before.
  test::TempFolder folder;
  const std::string copy = folder.File(platform::kCanusbLibraryFile);
  std::filesystem::copy_file(SimulatorPath(platform::kCanusbLibraryFile), copy);
  test::WriteFile(folder.File("sim.conf"),
                  "# two adapters\ncanusb serial=LWENV001 version=\"V9 # not a comment\"\n"
                  "canusb serial=LWENV002 write=-5  # writes fail\n");
  setenv("CANSIM_CONFIG", folder.File("sim.conf").c_str(), 1);
  setenv("CANSIM_LOG", folder.File("env.log").c_str(), 1);
  setenv("CANSIM_RAW_LOG", folder.File("raw.log").c_str(), 1);
  auto driver = CanusbDriver::Load(copy, nullptr);
  ASSERT_NE(driver, nullptr);
  std::string text;
  EXPECT_GT(driver->GetFirstAdapter(text), 0);  // the first call reads them
  for (const char* name : {"CANSIM_CONFIG", "CANSIM_LOG", "CANSIM_RAW_LOG"}) unsetenv(name);
  EXPECT_EQ(text, "LWENV001");
  const int32_t h1 = driver->Open("LWENV001", "500", 0, -1, 1);
  const int32_t h2 = driver->Open("LWENV002", "500", 0, -1, 1);
  driver->VersionInfo(h1, text);
  EXPECT_EQ(text, "V9 # not a comment");
  // 11 bits, 29 bits, an empty frame, and remote frames with and without a
  // length.
  CANMsg frames[] = {Frame(0x7DF, 0, 2), Frame(0x18DAF110, 0x80, 8), Frame(0x456, 0, 0),
                     Frame(0x123, 0x40, 4), Frame(0x1ABCDEF, 0xC0, 0)};
  EXPECT_EQ(driver->canusb_Write(h2, &frames[0]), -5);
  for (CANMsg& frame : frames) EXPECT_EQ(driver->canusb_Write(h1, &frame), 1);
  driver->Close(h1);  // closing flushes
  const std::regex lines(R"(\((\d{10}\.\d{6})\) canusb0 7DF#1011\n)"
                         R"(\((\d{10}\.\d{6})\) canusb0 18DAF110#1011121314151617\n)"
                         R"(\((\d{10}\.\d{6})\) canusb0 456#\n)"
                         R"(\((\d{10}\.\d{6})\) canusb0 123#R4\n)"
                         R"(\((\d{10}\.\d{6})\) canusb0 01ABCDEF#R\n)");
  const std::regex raw_lines(
      R"(\((\d{10}\.\d{6})\) canusb0 DF07000000000000000210111213141516170000\n)"
      R"(\((\d{10}\.\d{6})\) canusb0 10F1DA1800000000800810111213141516170000\n)"
      R"(\((\d{10}\.\d{6})\) canusb0 5604000000000000000010111213141516170000\n)"
      R"(\((\d{10}\.\d{6})\) canusb0 2301000000000000400410111213141516170000\n)"
      R"(\((\d{10}\.\d{6})\) canusb0 EFCDAB0100000000C00010111213141516170000\n)");
  const std::string log = test::ReadFile(folder.File("env.log"));
  const std::string raw = test::ReadFile(folder.File("raw.log"));
  std::smatch log_match, raw_match;
  ASSERT_TRUE(std::regex_match(log, log_match, lines)) << log;
  ASSERT_TRUE(std::regex_match(raw, raw_match, raw_lines)) << raw;
  for (size_t i = 1; i < log_match.size(); ++i) EXPECT_EQ(log_match[i], raw_match[i]) << i;
  EXPECT_EQ(test::ReadWithPythonCan(folder.File("env.log")),
            (std::vector<std::string>{
                "canusb0 7DF S D 2 1011", "canusb0 18DAF110 X D 8 1011121314151617",
                "canusb0 456 S D 0 -", "canusb0 123 S R 4 -", "canusb0 1ABCDEF X R 0 -"}));
}

// The example of sim/README.md (its indented lines), as each library reads
// it; its faults hit the calls they name and no others.
TEST_F(Simulator, ReadmeExampleDescribesSeveralDevicesPerFamilyAndFaults) {
  const std::string readme = test::ReadFile(std::string(TELPOD_SOURCE_DIR) + "/sim/README.md");
  const size_t start = readme.find("### Example");
  const size_t end = readme.find("\n## ", start);
  std::string config;
  for (size_t at = readme.find('\n', start) + 1; at < end;) {
    const size_t eol = readme.find('\n', at);
    if (readme.compare(at, 4, "    ") == 0) config += readme.substr(at + 4, eol - at - 4) + "\n";
    at = eol + 1;
  }
  ASSERT_NE(config.find("fault canusb_Write"), std::string::npos) << config;
  for (test::SimControl* sim : {&usb, &boards, &kvaser}) sim->Configure(config);
  FindAdapters();
  FindBoards();
  FindChannels();
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 2);
  EXPECT_EQ(IfCan_d.Interface_CAN_FindCount(), 3);
  EXPECT_EQ(kvCan_d.Kvaser_FindCount(), 2);
  EXPECT_EQ(ifcan()->CanClosePort(-1), 0xC000000Du);
  const int32_t h = canusb()->Open("LW2A0001", "500", 0, -1, 1);
  CANMsg msg = Frame(0x7DF, 0, 2);
  std::vector<int> results;
  for (int i = 0; i < 6; ++i) results.push_back(canusb()->canusb_Write(h, &msg));
  EXPECT_EQ(results, (std::vector<int>{1, 1, -5, -5, -5, 1}));
  EXPECT_EQ(usb.Frames().size(), 3u);
}

}  // namespace
}  // namespace telpod
