#pragma once

#include <gtest/gtest.h>

#include "devices/canusb/canusb.h"
#include "devices/canusb/find_canusb_adapters.h"
#include "devices/family_set.h"
#include "devices/ifcan/find_interface_boards.h"
#include "devices/kvaser/find_kvaser_channels.h"
#include "platform/driver_folders.h"
#include "support/engine_fakes.h"
#include "support/fake_socketcan_system.h"
#include "support/sim_control.h"

namespace telpod::test {

// The three bindings, each loaded from its simulator.
inline void LoadSimulatedDrivers(DriverSet& drivers) {
  drivers.Add(CanusbDriver::Load(SimulatorPath(platform::kCanusbLibraryFile), nullptr));
  drivers.Add(IfCanDriver::Load(SimulatorPath(platform::kIfCanLibraryFile), nullptr));
  drivers.Add(CanlibDriver::Load(SimulatorPath(platform::kCanlibLibraryFile), nullptr));
}

// The three bindings over their simulators, each simulator back at its
// default before every test, the catalogues the program fills, and the
// program's families over them.
class SimulatedDevices : public ::testing::Test, public FamilyObjects {
 protected:
  SimulatedDevices() { LoadSimulatedDrivers(drivers); }
  void SetUp() override {
    ASSERT_TRUE(canusb() && ifcan() && canlib());
    for (SimControl* sim : {&usb, &boards, &kvaser}) sim->Reset();
  }

  CanusbDriver* canusb() { return drivers.Get<CanusbDriver>(); }
  IfCanDriver* ifcan() { return drivers.Get<IfCanDriver>(); }
  CanlibDriver* canlib() { return drivers.Get<CanlibDriver>(); }
  void FindAdapters() { Find_CANUSB_Adapters(device, CAN_d, *canusb(), pump); }
  void FindBoards() { Find_Interface_Boards(device, IfCan_u, IfCan_d, *ifcan(), pump); }
  void FindChannels() { Find_Kvaser_Channels(device, kvCan_u, kvCan_d, *canlib(), pump); }

  ELM327_Info device;
  FakeSocketCanSystem kernel;
  FamilySet families{device, *this, kernel};
  DriverSet& drivers = families.drivers;
  SimControl usb{platform::kCanusbLibraryFile};
  SimControl boards{platform::kIfCanLibraryFile};
  SimControl kvaser{platform::kCanlibLibraryFile};
  ScriptedPump pump;
};

}  // namespace telpod::test
