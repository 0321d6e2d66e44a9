#include <gtest/gtest.h>

#include "devices/ifcan/find_interface_boards.h"
#include "devices/sim_control.h"
#include "platform/driver_folders.h"
#include "support/engine_fakes.h"

namespace telpod {
namespace {

class IfCanDiscovery : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(driver, nullptr);
    sim.Reset();
  }
  void Find() { Find_Interface_Boards(device, IfCan_u, IfCan_d, *driver, pump); }

  std::unique_ptr<IfCanDriver> driver =
      IfCanDriver::Load(test::SimulatorPath(platform::kIfCanLibraryFile), nullptr);
  test::SimControl sim{platform::kIfCanLibraryFile};
  ELM327_Info device;
  InterfaceCAN IfCan_u;
  CAN_DB_Interface IfCan_d;
  test::ScriptedPump pump;
};

TEST_F(IfCanDiscovery, BoardsAtPortsOneAndFour) {
  sim.Configure(
      "ifcan port=1 device=0x12F3 subsystem=0x3894 revision=2 channel=1 physical=1\n"
      "ifcan port=4 vendor=0x1147 device=0x12F5 subsystem=0x20A8 revision=3 board=7 model=9 "
      "channel=4 physical=0 struct=36\n");
  Find();
  EXPECT_EQ(IfCan_d.Interface_CAN_FindCount(), 2);
  EXPECT_EQ(IfCan_d.Interface_CAN_FindNo(1), 1);
  EXPECT_EQ(IfCan_d.Interface_CAN_FindNo(2), 4);
  EXPECT_EQ(IfCan_d.IfCAN_info_ulSubsystemID(1), 0x3894);
  EXPECT_EQ(IfCan_d.IfCAN_info_ulRevisionID(1), 2);
  EXPECT_EQ(IfCan_d.IfCAN_info_ulStructLength(2), 36);
  EXPECT_EQ(IfCan_d.IfCAN_info_ulVendorID(2), 0x1147);
  EXPECT_EQ(IfCan_d.IfCAN_info_ulDeviceID(2), 0x12F5);
  EXPECT_EQ(IfCan_d.IfCAN_info_ulBoardID(2), 7);
  EXPECT_EQ(IfCan_d.IfCAN_info_ulModelNumber(2), 9);
  EXPECT_EQ(IfCan_d.IfCAN_info_ulChannelNumber(2), 4);
  EXPECT_EQ(IfCan_d.IfCAN_info_ulPhysicalLayer(2), 0);
}

TEST_F(IfCanDiscovery, EveryPortIsTriedAndClosedWithTheHandleItsOpenReturned) {
  sim.Configure("ifcan port=3\n");
  Find();
  EXPECT_EQ(sim.Calls("CanOpenPort"), 255);
  EXPECT_EQ(sim.Calls("CanClosePort"), 255);
  const auto log = sim.CallLog();
  ASSERT_EQ(log.size(), 255u * 2 + 1);
  EXPECT_EQ(log[0], "CanOpenPort(\"IFCAN1\")");
  EXPECT_EQ(log[1], "CanClosePort(-1)");
  EXPECT_EQ(log[4], "CanOpenPort(\"IFCAN3\")");
  EXPECT_EQ(log[5], "CanGetPortInformation(1)");
  EXPECT_EQ(log[6], "CanClosePort(1)");
  EXPECT_EQ(log.back(), "CanClosePort(-1)");
  EXPECT_EQ(log[log.size() - 2], "CanOpenPort(\"IFCAN255\")");
}

TEST_F(IfCanDiscovery, FailedInformationReadKeepsTheBoardWithZeros) {
  sim.Configure("ifcan port=2 info=0xC0000009\nifcan port=5\n");
  Find();
  EXPECT_EQ(IfCan_d.Interface_CAN_FindCount(), 2);
  EXPECT_EQ(IfCan_d.Interface_CAN_FindNo(1), 2);
  EXPECT_EQ(IfCan_d.IfCAN_info_ulDeviceID(1), 0);
  EXPECT_EQ(IfCan_d.IfCAN_info_ulStructLength(1), 0);
  EXPECT_EQ(IfCan_d.IfCAN_info_ulDeviceID(2), 0x12F3);
}

TEST_F(IfCanDiscovery, PortThatDoesNotOpenIsSkipped) {
  sim.Configure("ifcan port=1 open=fail\nifcan port=2\n");
  Find();
  EXPECT_EQ(IfCan_d.Interface_CAN_FindCount(), 1);
  EXPECT_EQ(IfCan_d.Interface_CAN_FindNo(1), 2);
}

TEST_F(IfCanDiscovery, BoardsOnEveryPortFillTheCatalogue) {
  std::string config;
  for (int port = 1; port <= 255; ++port) config += "ifcan port=" + std::to_string(port) + "\n";
  sim.Configure(config);
  Find();
  EXPECT_EQ(IfCan_d.Interface_CAN_FindCount(), 255);
  EXPECT_EQ(IfCan_d.Interface_CAN_FindNo(255), 255);
  EXPECT_EQ(sim.Calls("CanClosePort"), 255);
}

}  // namespace
}  // namespace telpod
