#include <gtest/gtest.h>

#include <set>

#include "devices/kvaser/find_kvaser_channels.h"
#include "devices/sim_control.h"
#include "platform/driver_folders.h"
#include "support/engine_fakes.h"

namespace telpod {
namespace {

class KvaserDiscovery : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(driver, nullptr);
    sim.Reset();
  }
  void Find() { Find_Kvaser_Channels(device, kvCan_u, kvCan_d, *driver, pump); }

  // Each handle opened during discovery is taken off the bus, then closed,
  // after every channel was examined.
  void ExpectAllOpenedClosed() {
    const auto log = sim.CallLog();
    std::vector<std::string> expected_tail;
    for (int16_t j = 0; j < kvCan_d.Kvaser_FindCount(); ++j) {
      const std::string h = std::to_string(kvCan_d.Kvaser_DevHandle(j));
      expected_tail.push_back("canBusOff(" + h + ")");
      expected_tail.push_back("canClose(" + h + ")");
    }
    ASSERT_GE(log.size(), expected_tail.size());
    EXPECT_EQ(
        std::vector<std::string>(log.end() - static_cast<long>(expected_tail.size()), log.end()),
        expected_tail);
    EXPECT_EQ(sim.Calls("canClose"), kvCan_d.Kvaser_FindCount());
  }

  std::unique_ptr<CanlibDriver> driver =
      CanlibDriver::Load(test::SimulatorPath(platform::kCanlibLibraryFile), nullptr);
  test::SimControl sim{platform::kCanlibLibraryFile};
  ELM327_Info device;
  KvaserCAN kvCan_u;
  CAN_DB_Kvaser kvCan_d;
  test::ScriptedPump pump;
};

TEST_F(KvaserDiscovery, ListsChannelsFromIndexZeroAndClosesThem) {
  sim.Configure(
      "kvaser name=\"Kvaser Leaf Light v2 (channel 0)\"\n"
      "kvaser name=\"Kvaser USBcan Pro 2xHS v2 (channel 1)\"\n");
  Find();
  EXPECT_EQ(kvCan_d.Kvaser_FindCount(), 2);
  EXPECT_EQ(kvCan_d.Kvaser_DevChannel(0), 0);
  EXPECT_EQ(kvCan_d.Kvaser_DevChannel(1), 1);
  EXPECT_EQ(kvCan_d.Kvaser_DevdName(0), "Kvaser Leaf Light v2 (channel 0)");
  EXPECT_EQ(kvCan_d.Kvaser_DevdName(1), "Kvaser USBcan Pro 2xHS v2 (channel 1)");
  EXPECT_EQ(sim.CallsStartingWith("canOpenChannel"),
            (std::vector<std::string>{"canOpenChannel(0,128)", "canOpenChannel(1,128)"}));
  EXPECT_EQ(sim.CallsStartingWith("canGetChannelData"),
            (std::vector<std::string>{"canGetChannelData(0,13,64)", "canGetChannelData(1,13,64)"}));
  EXPECT_EQ(sim.CallLog().front(), "canInitializeLibrary()");
  EXPECT_EQ(pump.passes, 3);  // after initialising, and after each channel
  ExpectAllOpenedClosed();
}

TEST_F(KvaserDiscovery, ChannelHeldElsewhereIsSkipped) {
  sim.Configure("kvaser name=first held\nkvaser name=second\n");
  Find();
  EXPECT_EQ(kvCan_d.Kvaser_FindCount(), 1);
  EXPECT_EQ(kvCan_d.Kvaser_DevChannel(0), 1);
  EXPECT_EQ(kvCan_d.Kvaser_DevdName(0), "second");
  ExpectAllOpenedClosed();
}

TEST_F(KvaserDiscovery, FortyChannelsExamineZeroToTwentyNine) {
  sim.Configure("kvaser-count 40\n");
  Find();
  EXPECT_EQ(kvCan_d.Kvaser_FindCount(), 30);
  EXPECT_EQ(sim.Calls("canOpenChannel"), 30);
  EXPECT_EQ(sim.CallsStartingWith("canOpenChannel").back(), "canOpenChannel(29,128)");
  EXPECT_EQ(kvCan_d.Kvaser_DevChannel(29), 29);
  EXPECT_EQ(kvCan_d.Kvaser_DevdName(29), "Kvaser Sim (channel 29)");
  std::set<int32_t> handles;
  for (int16_t j = 0; j < 30; ++j) handles.insert(kvCan_d.Kvaser_DevHandle(j));
  EXPECT_EQ(handles.size(), 30u);  // all open at once until the end
  ExpectAllOpenedClosed();
}

TEST_F(KvaserDiscovery, UnreadableNameKeepsTheChannelWithAnEmptyName) {
  sim.Configure("kvaser name=first name_status=-1\nkvaser name=\"\"\nkvaser name=third\n");
  Find();
  EXPECT_EQ(kvCan_d.Kvaser_FindCount(), 3);
  EXPECT_EQ(kvCan_d.Kvaser_DevdName(0), "");
  EXPECT_EQ(kvCan_d.Kvaser_DevdName(1), "");
  EXPECT_EQ(kvCan_d.Kvaser_DevdName(2), "third");
  ExpectAllOpenedClosed();
}

TEST_F(KvaserDiscovery, NoChannelsOrAFailedCountListNothing) {
  sim.Configure("");
  Find();
  EXPECT_EQ(kvCan_d.Kvaser_FindCount(), 0);
  sim.Configure("kvaser name=a\nfault canGetNumberOfChannels result=-8\n");
  Find();
  EXPECT_EQ(kvCan_d.Kvaser_FindCount(), 0);
  EXPECT_EQ(sim.Calls("canOpenChannel"), 0);
}

}  // namespace
}  // namespace telpod
