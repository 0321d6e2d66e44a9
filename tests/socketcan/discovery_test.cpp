#include <gtest/gtest.h>

#include "devices/socketcan/socketcan_discovery.h"
#include "fake_socketcan_system.h"
#include "support/engine_fakes.h"

namespace telpod {
namespace {

using test::Controller;
using test::FakeSocketCanSystem;
using test::VirtualLink;

class SocketCanDiscoveryTest : public ::testing::Test {
 protected:
  ELM327_Info device;
  CAN_DB_SocketCAN db;
  FakeSocketCanSystem kernel;
  test::ScriptedPump pump;
};

TEST_F(SocketCanDiscoveryTest, KernelWithoutCanSupportFindsNothingAndSetsNoMaskBit) {
  kernel.raw_sockets = false;
  kernel.interfaces = {VirtualLink("vcan0")};  // a stale name must not be listed either
  Find_SocketCAN_Interfaces(device, db, kernel, pump);
  EXPECT_EQ(db.SocketCAN_FindCount(), 0);
  EXPECT_EQ(Check_SocketCAN_Driver(kernel), 0);
  EXPECT_EQ(pump.passes, 0);
}

TEST_F(SocketCanDiscoveryTest, ListsEveryInterfaceFromIndexOneInKernelOrder) {
  kernel.interfaces = {Controller("can0", CAN_STATE_ERROR_ACTIVE, 500000), VirtualLink("vcan0"),
                       Controller("slcan0", CAN_STATE_STOPPED, std::nullopt)};
  EXPECT_EQ(Check_SocketCAN_Driver(kernel), 8);
  Find_SocketCAN_Interfaces(device, db, kernel, pump);
  ASSERT_EQ(db.SocketCAN_FindCount(), 3);
  EXPECT_EQ(db.SocketCAN_IfName(0), "");
  EXPECT_EQ(SocketCAN_EntryText(db, 1), "SocketCAN can0");
  EXPECT_EQ(SocketCAN_EntryText(db, 2), "SocketCAN vcan0");
  EXPECT_EQ(SocketCAN_EntryText(db, 3), "SocketCAN slcan0");
  EXPECT_EQ(pump.passes, 3);
  EXPECT_TRUE(kernel.calls.empty());  // discovery changes no controller
}

TEST_F(SocketCanDiscoveryTest, StopsAtTheCatalogueCapacity) {
  for (int n = 0; n < 35; ++n) kernel.interfaces.push_back(VirtualLink("vcan" + std::to_string(n)));
  Find_SocketCAN_Interfaces(device, db, kernel, pump);
  EXPECT_EQ(db.SocketCAN_FindCount(), 30);
  EXPECT_EQ(db.SocketCAN_IfName(30), "vcan29");
  EXPECT_EQ(db.SocketCAN_IfName(31), "");  // beyond the store: empty, no crash
}

TEST_F(SocketCanDiscoveryTest, InformationLineShowsWhatTheKernelReports) {
  kernel.interfaces = {VirtualLink("vcan0"),
                       Controller("can0", CAN_STATE_ERROR_ACTIVE, 500000, "gs_usb"),
                       Controller("slcan0", CAN_STATE_STOPPED, std::nullopt),
                       Controller("can1", CAN_STATE_BUS_OFF, 125000),
                       {"odd0", SocketCanLink{}}};
  Find_SocketCAN_Interfaces(device, db, kernel, pump);
  const auto line = [&](int32_t selected) {
    db.set_SocketCAN_SelectNo(selected);
    return SocketCAN_InfoLine(kernel, db);
  };
  EXPECT_EQ(line(1), "SocketCAN vcan0 vcan");
  EXPECT_EQ(line(2), "SocketCAN can0 gs_usb ERROR-ACTIVE 500000 bit/s");
  EXPECT_EQ(line(3), "SocketCAN slcan0 can STOPPED");
  EXPECT_EQ(line(4), "SocketCAN can1 can BUS-OFF 125000 bit/s");
  EXPECT_EQ(line(5), "SocketCAN odd0");
  EXPECT_EQ(line(0), "");
  EXPECT_EQ(line(6), "");
  EXPECT_EQ(line(-1), "");
}

TEST(SocketCanStateText, NamesStatesAsIproute2Does) {
  EXPECT_EQ(SocketCAN_StateText(CAN_STATE_ERROR_WARNING), "ERROR-WARNING");
  EXPECT_EQ(SocketCAN_StateText(CAN_STATE_ERROR_PASSIVE), "ERROR-PASSIVE");
  EXPECT_EQ(SocketCAN_StateText(CAN_STATE_SLEEPING), "SLEEPING");
  EXPECT_EQ(SocketCAN_StateText(42), "STATE-42");
}

TEST(CanDbSocketCanTest, ClearRestoresDefaultsAndBadIndexesAreHarmless) {
  CAN_DB_SocketCAN db;
  db.set_SocketCAN_FindCount(2);
  db.set_SocketCAN_FindCount_MAX(5);
  db.set_SocketCAN_SelectNo(2);
  db.set_SocketCAN_Handle(9);
  db.set_SocketCAN_IfName(30, "can9");
  db.set_SocketCAN_IfName(-1, "x");
  db.set_SocketCAN_IfName(31, "x");
  EXPECT_EQ(db.SocketCAN_IfName(30), "can9");
  db.Param_ALL_Clear();
  EXPECT_EQ(db.SocketCAN_FindCount(), 0);
  EXPECT_EQ(db.SocketCAN_FindCount_MAX(), 30);
  EXPECT_EQ(db.SocketCAN_SelectNo(), 0);
  EXPECT_EQ(db.SocketCAN_Handle(), -1);
  EXPECT_EQ(db.SocketCAN_IfName(30), "");
  EXPECT_EQ(db.SocketCAN_IfName(-1), "");
}

}  // namespace
}  // namespace telpod
