// The simulated drivers answer like real ones: they refuse what a real
// driver refuses, log what goes on the wire and take their configuration
// from CANSIM_CONFIG.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "devices/canusb/canusb_driver.h"
#include "devices/canusb/find_canusb_adapters.h"
#include "devices/ifcan/find_interface_boards.h"
#include "devices/ifcan/ifcan_driver.h"
#include "devices/kvaser/canlib_driver.h"
#include "devices/kvaser/find_kvaser_channels.h"
#include "devices/le_bytes.h"
#include "devices/sim_control.h"
#include "platform/driver_folders.h"
#include "support/engine_fakes.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

using test::SimulatorPath;

CANMsg Frame(uint32_t id, uint8_t flags, uint8_t len) {
  CANMsg msg{};
  msg.id = id;
  msg.flags = flags;
  msg.len = len;
  for (uint8_t i = 0; i < 8; ++i) msg.data[i] = static_cast<uint8_t>(0x10 + i);
  return msg;
}

class CanusbSimulator : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(driver, nullptr);
    sim.Reset();
  }
  std::unique_ptr<CanusbDriver> driver =
      CanusbDriver::Load(SimulatorPath(platform::kCanusbLibraryFile), nullptr);
  test::SimControl sim{platform::kCanusbLibraryFile};
};

TEST_F(CanusbSimulator, RefusesBadFramesAndHandlesWithItsErrorCodes) {
  const int32_t h = driver->Open("LWSIM001", "500", 0, -1, 1);
  ASSERT_EQ(h, 1);
  CANMsg too_long = Frame(0x100, 0, 9);
  CANMsg std_too_big = Frame(0x800, 0, 8);
  CANMsg ext_too_big = Frame(0x20000000, 0x80, 8);
  CANMsg good = Frame(0x1FFFFFFF, 0x80, 8);
  EXPECT_EQ(driver->canusb_Write(h, &too_long), -6);
  EXPECT_EQ(driver->canusb_Write(h, &std_too_big), -6);
  EXPECT_EQ(driver->canusb_Write(h, &ext_too_big), -6);
  EXPECT_EQ(driver->canusb_Write(h, nullptr), -6);
  EXPECT_EQ(driver->canusb_Write(h + 1, &good), -4);
  EXPECT_EQ(driver->canusb_Write(-1, &good), -4);
  EXPECT_EQ(driver->canusb_Write(h, &good), 1);
  EXPECT_EQ(sim.Frames().size(), 1u);
  EXPECT_EQ(driver->Open("LWSIM001", "500", 0, -1, 1), -2);  // already open
  EXPECT_EQ(driver->Open("NOSUCH01", "500", 0, -1, 1), -9);
  EXPECT_EQ(driver->Close(h), 1);
  EXPECT_EQ(driver->Close(h), -4);
  EXPECT_EQ(driver->canusb_Write(h, &good), -4);
}

TEST_F(CanusbSimulator, OpenRefusesAnUnknownBitRateText) {
  EXPECT_EQ(driver->Open("LWSIM001", "", 0, -1, 1), -6);
  EXPECT_EQ(driver->Open("LWSIM001", "333", 0, -1, 1), -6);
  EXPECT_GT(driver->Open("LWSIM001", "10", 0, -1, 1), 0);
}

TEST_F(CanusbSimulator, FaultsHitTheChosenCallsOnly) {
  sim.Fault("canusb_Write", 2, 2, -5);
  const int32_t h = driver->Open("LWSIM001", "1000", 0, -1, 1);
  CANMsg msg = Frame(0x7DF, 0, 2);
  std::vector<int> results;
  for (int i = 0; i < 5; ++i) results.push_back(driver->canusb_Write(h, &msg));
  EXPECT_EQ(results, (std::vector<int>{1, -5, -5, 1, 1}));
  EXPECT_EQ(sim.Calls("canusb_Write"), 5);
  EXPECT_EQ(sim.Frames().size(), 3u);
  EXPECT_EQ(sim.Calls("no_such_entry"), -1);
}

TEST_F(CanusbSimulator, FramesGoToTheLogInCandumpFormat) {
  test::TempFolder folder;
  const std::string log = folder.File("bus.log");
  ASSERT_TRUE(sim.SetLog(log));
  const int32_t h = driver->Open("LWSIM001", "500", 0, -1, 1);
  CANMsg standard = Frame(0x7DF, 0, 2);
  CANMsg extended = Frame(0x18DAF110, 0x80, 8);
  driver->canusb_Write(h, &standard);
  driver->canusb_Write(h, &extended);
  driver->Close(h);  // closing flushes
  const std::string text = test::ReadFile(log);
  const std::regex lines(
      R"(\(\d{10}\.\d{6}\) canusb0 7DF#1011 # raw=DF07000000000000000210111213141516170000\n)"
      R"(\(\d{10}\.\d{6}\) canusb0 18DAF110#1011121314151617 # raw=10F1DA18000000008008)"
      R"(10111213141516170000\n)");
  EXPECT_TRUE(std::regex_match(text, lines)) << text;
  sim.SetLog("");
}

TEST(SimulatorValidation, InterfaceBoardRefusesBadMessagesAndHandles) {
  auto driver = IfCanDriver::Load(SimulatorPath(platform::kIfCanLibraryFile), nullptr);
  ASSERT_NE(driver, nullptr);
  test::SimControl sim(platform::kIfCanLibraryFile);
  sim.Reset();
  const int32_t h = driver->OpenPort(1);
  ASSERT_GT(h, 0);
  EXPECT_EQ(driver->OpenPort(1), -1);  // one opener at a time
  EXPECT_EQ(driver->OpenPort(2), -1);
  uint8_t frame[24] = {};
  PutLe32(frame, 9);
  EXPECT_EQ(driver->CanSendMessage(h, frame, 1), 0xC0000003u);
  PutLe32(frame, 8);
  PutLe32(frame + 8, 0x800);
  EXPECT_EQ(driver->CanSendMessage(h, frame, 1), 0xC0000003u);
  PutLe32(frame + 8, 0x80000800u);
  EXPECT_EQ(driver->CanSendMessage(h, frame, 1), 0u);
  PutLe32(frame + 8, 0xA0000000u);
  EXPECT_EQ(driver->CanSendMessage(h, frame, 1), 0xC0000003u);
  EXPECT_EQ(driver->CanSendMessage(h, frame, 0), 0xC0000003u);
  EXPECT_EQ(driver->CanSendMessage(h, nullptr, 1), 0xC0000003u);
  EXPECT_EQ(driver->CanSendMessage(h + 5, frame, 1), 0xC000000Au);
  EXPECT_EQ(driver->CanGetConfig(-1, frame), 0xC000000Au);
  EXPECT_EQ(driver->CanClosePort(h), 0u);
  EXPECT_EQ(driver->CanClosePort(h), 0xC000000Au);
  EXPECT_EQ(sim.Frames().size(), 1u);
}

TEST(SimulatorValidation, CanlibRefusesBadWritesAndHandles) {
  auto driver = CanlibDriver::Load(SimulatorPath(platform::kCanlibLibraryFile), nullptr);
  ASSERT_NE(driver, nullptr);
  test::SimControl sim(platform::kCanlibLibraryFile);
  sim.Reset();
  EXPECT_EQ(driver->canOpenChannel(0, 0x80), -8);  // before canInitializeLibrary
  driver->canInitializeLibrary();
  EXPECT_EQ(driver->canOpenChannel(1, 0x80), -3);
  const canHandle h = driver->canOpenChannel(0, 0x80);
  ASSERT_GE(h, 0);
  EXPECT_EQ(driver->canOpenChannel(0, 0x80), -31);  // init access already taken
  uint8_t data[9] = {1, 2, 3, 4, 5, 6, 7, 8, 0};
  EXPECT_EQ(driver->canWrite(h, 0x100, data, 9, 2), -1);
  EXPECT_EQ(driver->canWrite(h, 0x800, data, 8, 2), -1);
  EXPECT_EQ(driver->canWrite(h, 0x20000000L, data, 8, 4), -1);
  EXPECT_EQ(driver->canWrite(h, 0x100, data, 8, 6), -1);
  EXPECT_EQ(driver->canWrite(h, -1, data, 8, 2), -1);
  EXPECT_EQ(driver->canWrite(h + 1, 0x100, data, 8, 2), -10);
  EXPECT_EQ(driver->canSetBusParams(h, -10, 5, 2, 1, 1, 0), -1);
  EXPECT_EQ(driver->canSetBusParams(h, -4, 5, 2, 1, 1, 0), 0);
  EXPECT_EQ(driver->canWrite(h, 0x1FFFFFFFL, data, 3, 4), 0);
  EXPECT_EQ(driver->canClose(h), 0);
  EXPECT_EQ(driver->canClose(h), -10);
  ASSERT_EQ(sim.Frames().size(), 1u);
  EXPECT_EQ(sim.Frames()[0].dlc, 3);
  EXPECT_EQ(sim.Frames()[0].extended, 1);
}

TEST(SimulatorConfiguration, SyntaxErrorsNameTheirLineAndKeepTheOldState) {
  test::SimControl sim(platform::kCanusbLibraryFile);
  sim.Configure("canusb serial=LW000001\ncanusb serial=LW000002\n");
  EXPECT_EQ(sim.ConfigureError("canusb\n"), "line 1: canusb: serial= is required");
  EXPECT_EQ(sim.ConfigureError("\n# fine\ncanusb serial=A colour=red"),
            "line 3: canusb: unknown key: colour");
  EXPECT_EQ(sim.ConfigureError("ifcan port=256"), "line 1: ifcan: port must be 1..255");
  EXPECT_EQ(sim.ConfigureError("ifcan port=1\nifcan port=1"), "line 2: ifcan: port listed twice");
  EXPECT_EQ(sim.ConfigureError("ifcan port=1 config=1,2,3"),
            "line 1: ifcan: config= takes seven words");
  EXPECT_EQ(sim.ConfigureError("kvaser serial=12x"), "line 1: serial: not a number: 12x");
  EXPECT_EQ(sim.ConfigureError("kvaser firmware=1.2.3"),
            "line 1: firmware: want major.minor.release.build: 1.2.3");
  EXPECT_EQ(sim.ConfigureError("kvaser name=\"open"), "line 1: unterminated quote");
  EXPECT_EQ(sim.ConfigureError("fault canFly result=1"),
            "line 1: fault: unknown entry point canFly");
  EXPECT_EQ(sim.ConfigureError("adapter serial=1"), "line 1: unknown statement: adapter");
  // The last good configuration still stands.
  auto driver = CanusbDriver::Load(SimulatorPath(platform::kCanusbLibraryFile), nullptr);
  ELM327_Info device;
  CAN_DB CAN_d;
  test::ScriptedPump pump;
  Find_CANUSB_Adapters(device, CAN_d, *driver, pump);
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 2);
}

TEST(SimulatorConfiguration, EnvironmentNamesConfigurationAndLogAtLoad) {
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
  auto driver = CanusbDriver::Load(copy, nullptr);
  ASSERT_NE(driver, nullptr);
  ELM327_Info device;
  CAN_DB CAN_d;
  test::ScriptedPump pump;
  Find_CANUSB_Adapters(device, CAN_d, *driver, pump);
  unsetenv("CANSIM_CONFIG");
  unsetenv("CANSIM_LOG");
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 2);
  EXPECT_EQ(CAN_d.CAN_USB_FindSerialNo(2), "LWENV002");
  const int32_t h1 = driver->Open("LWENV001", "500", 0, -1, 1);
  const int32_t h2 = driver->Open("LWENV002", "500", 0, -1, 1);
  std::string version;
  driver->VersionInfo(h1, version);
  EXPECT_EQ(version, "V9 # not a comment");
  CANMsg msg = Frame(0x123, 0, 1);
  EXPECT_EQ(driver->canusb_Write(h1, &msg), 1);
  EXPECT_EQ(driver->canusb_Write(h2, &msg), -5);
  driver->Close(h1);
  EXPECT_NE(test::ReadFile(folder.File("env.log")).find(" canusb0 123#10 # raw="),
            std::string::npos);
}

// The example of sim/README.md, as each library reads it.
std::string ReadmeExample() {
  const std::string readme = test::ReadFile(std::string(TELPOD_SOURCE_DIR) + "/sim/README.md");
  const size_t start = readme.find("### Example");
  const size_t end = readme.find("\n## ", start);
  std::string config;
  size_t at = readme.find('\n', start) + 1;
  while (at < end) {
    const size_t eol = readme.find('\n', at);
    const std::string line = readme.substr(at, eol - at);
    if (line.rfind("    ", 0) == 0) config += line.substr(4) + "\n";
    at = eol + 1;
  }
  return config;
}

TEST(SimulatorConfiguration, ReadmeExampleDescribesSeveralDevicesPerFamily) {
  const std::string config = ReadmeExample();
  ASSERT_NE(config.find("fault canusb_Write"), std::string::npos) << config;
  ELM327_Info device;
  test::ScriptedPump pump;

  auto usb = CanusbDriver::Load(SimulatorPath(platform::kCanusbLibraryFile), nullptr);
  test::SimControl usb_sim(platform::kCanusbLibraryFile);
  usb_sim.Configure(config);
  CAN_DB CAN_d;
  Find_CANUSB_Adapters(device, CAN_d, *usb, pump);
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 2);

  auto boards = IfCanDriver::Load(SimulatorPath(platform::kIfCanLibraryFile), nullptr);
  test::SimControl board_sim(platform::kIfCanLibraryFile);
  board_sim.Configure(config);
  InterfaceCAN IfCan_u;
  CAN_DB_Interface IfCan_d;
  Find_Interface_Boards(device, IfCan_u, IfCan_d, *boards, pump);
  EXPECT_EQ(IfCan_d.Interface_CAN_FindCount(), 3);
  EXPECT_EQ(boards->CanClosePort(-1), 0xC000000Du);

  auto kvaser = CanlibDriver::Load(SimulatorPath(platform::kCanlibLibraryFile), nullptr);
  test::SimControl kvaser_sim(platform::kCanlibLibraryFile);
  kvaser_sim.Configure(config);
  KvaserCAN kvCan_u;
  CAN_DB_Kvaser kvCan_d;
  Find_Kvaser_Channels(device, kvCan_u, kvCan_d, *kvaser, pump);
  EXPECT_EQ(kvCan_d.Kvaser_FindCount(), 2);
}

}  // namespace
}  // namespace telpod
