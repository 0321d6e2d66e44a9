#pragma once

#include <array>
#include <memory>
#include <string>

#include "devices/canusb/canusb_driver.h"
#include "devices/ifcan/ifcan_driver.h"
#include "devices/kvaser/canlib_driver.h"
#include "model/family.h"

namespace telpod {

// How one family's library fared: not found in any driver folder, found
// but unusable (with the loader's reason), or loaded.
struct DriverReport {
  Family family = Family::None;
  const char* file = "";
  bool found = false;
  bool loaded = false;
  std::string reason;
};

// The driver libraries of the three families, each loaded or absent
// (nullptr). A family whose library is missing or broken is simply absent;
// the others go on.
struct DriverSet {
  std::unique_ptr<CanusbDriver> canusb;
  std::unique_ptr<IfCanDriver> ifcan;
  std::unique_ptr<CanlibDriver> canlib;

  // Loads each family's library from the first driver folder holding it,
  // CANUSB, Interface board and Kvaser in that order, and tells how each
  // fared; a family whose library is not loaded is absent.
  std::array<DriverReport, 3> LoadAll();
};

}  // namespace telpod
