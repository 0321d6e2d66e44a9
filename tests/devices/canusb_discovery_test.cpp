#include <gtest/gtest.h>

#include "devices/canusb/find_canusb_adapters.h"
#include "devices/sim_control.h"
#include "platform/driver_folders.h"
#include "support/engine_fakes.h"

namespace telpod {
namespace {

class CanusbDiscovery : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(driver, nullptr);
    sim.Reset();
  }
  void Find() { Find_CANUSB_Adapters(device, CAN_d, *driver, pump); }

  std::unique_ptr<CanusbDriver> driver =
      CanusbDriver::Load(test::SimulatorPath(platform::kCanusbLibraryFile), nullptr);
  test::SimControl sim{platform::kCanusbLibraryFile};
  ELM327_Info device;
  CAN_DB CAN_d;
  test::ScriptedPump pump;
};

TEST_F(CanusbDiscovery, ListsAdaptersInReportOrderWithoutOpeningThem) {
  sim.Configure("canusb serial=LW0000A1\ncanusb serial=LW0000B2\n");
  Find();
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 2);
  EXPECT_EQ(CAN_d.CAN_USB_FindSerialNo(1), "LW0000A1");
  EXPECT_EQ(CAN_d.CAN_USB_FindSerialNo(2), "LW0000B2");
  EXPECT_EQ(CAN_d.CAN_USB_FindSerialNo(0), "");
  EXPECT_EQ(sim.Calls("canusb_Open"), 0);
  EXPECT_EQ(sim.CallLog(),
            (std::vector<std::string>{"canusb_getFirstAdapter(64)", "canusb_getNextAdapter(64)",
                                      "canusb_getNextAdapter(64)"}));
}

TEST_F(CanusbDiscovery, FirstReportOfSixCharactersListsNothing) {
  sim.Configure("canusb serial=LW1234\ncanusb serial=LW123456\n");
  Find();
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 0);
  EXPECT_EQ(sim.Calls("canusb_getNextAdapter"), 0);
}

TEST_F(CanusbDiscovery, ShortSerialLaterEndsTheSearch) {
  sim.Configure("canusb serial=LW123456\ncanusb serial=LW12\ncanusb serial=LW654321\n");
  Find();
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 1);
}

TEST_F(CanusbDiscovery, ThirtyOneAdaptersListThirtyWithTwentyNineNextCalls) {
  sim.Configure(test::AdaptersConfig(31));
  Find();
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 30);
  EXPECT_EQ(CAN_d.CAN_USB_FindSerialNo(30), "SIM00030");
  EXPECT_EQ(sim.Calls("canusb_getFirstAdapter"), 1);
  EXPECT_EQ(sim.Calls("canusb_getNextAdapter"), 29);
  EXPECT_EQ(pump.passes, 29);  // events run before each further report
}

TEST_F(CanusbDiscovery, ResultsAreReadByTheirLowSixteenBits) {
  // 0x10000 has low bits 0: no adapter, although the whole number is positive.
  sim.Configure("canusb serial=LW000001 report=0x10000\n");
  Find();
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 0);
  // 0x1FFFF reads as -1.
  sim.Configure("canusb serial=LW000001\ncanusb serial=LW000002 report=0x1FFFF\n");
  Find();
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 1);
  // 0xFFFF0001 reads as 1.
  CAN_d.Param_ALL_Clear();
  sim.Configure("canusb serial=LW000001 report=0xFFFF0001\n");
  Find();
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 1);
}

TEST_F(CanusbDiscovery, NoAdapterAndLibraryErrorsListNothing) {
  sim.Configure("");
  Find();
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 0);
  sim.Configure("canusb serial=LW000001\nfault canusb_getFirstAdapter result=-1\n");
  Find();
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 0);
}

TEST_F(CanusbDiscovery, ReducedCapacityStopsEarly) {
  sim.Configure(test::AdaptersConfig(5));
  CAN_d.set_CAN_USB_FindCount_MAX(2);
  Find();
  EXPECT_EQ(CAN_d.CAN_USB_FindCount(), 2);
  EXPECT_EQ(sim.Calls("canusb_getNextAdapter"), 1);
}

}  // namespace
}  // namespace telpod
