#pragma once

#include <gtest/gtest.h>

#include "devices/canusb/canusb.h"
#include "devices/canusb/find_canusb_adapters.h"
#include "devices/driver_set.h"
#include "devices/family_objects.h"
#include "devices/ifcan/find_interface_boards.h"
#include "devices/kvaser/find_kvaser_channels.h"
#include "platform/driver_folders.h"
#include "support/engine_fakes.h"
#include "support/sim_control.h"

namespace telpod::test {

// The three bindings, each loaded from its simulator.
inline DriverSet LoadSimulatedDrivers() {
  DriverSet drivers;
  drivers.canusb = CanusbDriver::Load(SimulatorPath(platform::kCanusbLibraryFile), nullptr);
  drivers.ifcan = IfCanDriver::Load(SimulatorPath(platform::kIfCanLibraryFile), nullptr);
  drivers.canlib = CanlibDriver::Load(SimulatorPath(platform::kCanlibLibraryFile), nullptr);
  return drivers;
}

// The three bindings over their simulators, each simulator back at its
// default before every test, and the catalogues the program fills.
class SimulatedDevices : public ::testing::Test, public FamilyObjects {
 protected:
  void SetUp() override {
    ASSERT_TRUE(drivers.canusb && drivers.ifcan && drivers.canlib);
    for (SimControl* sim : {&usb, &boards, &kvaser}) sim->Reset();
  }

  void FindAdapters() { Find_CANUSB_Adapters(device, CAN_d, *drivers.canusb, pump); }
  void FindBoards() { Find_Interface_Boards(device, IfCan_u, IfCan_d, *drivers.ifcan, pump); }
  void FindChannels() { Find_Kvaser_Channels(device, kvCan_u, kvCan_d, *drivers.canlib, pump); }

  DriverSet drivers = LoadSimulatedDrivers();
  SimControl usb{platform::kCanusbLibraryFile};
  SimControl boards{platform::kIfCanLibraryFile};
  SimControl kvaser{platform::kCanlibLibraryFile};
  ScriptedPump pump;
  ELM327_Info device;
};

}  // namespace telpod::test
