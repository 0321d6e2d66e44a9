#pragma once

#include <memory>
#include <string>

#include "devices/canusb/canusb_driver.h"
#include "devices/ifcan/ifcan_driver.h"
#include "devices/kvaser/canlib_driver.h"

namespace telpod {

// The driver libraries of the three families, each loaded or absent
// (nullptr). A family whose library is missing or broken is simply absent;
// the others go on.
struct DriverSet {
  std::unique_ptr<CanusbDriver> canusb;
  std::unique_ptr<IfCanDriver> ifcan;
  std::unique_ptr<CanlibDriver> canlib;

  // Each loads its family's library from the first driver folder holding
  // it. False, with the reason in `error` when given, when the file is not
  // found or cannot be used; the family is then absent.
  bool LoadCanusb(std::string* error = nullptr);
  bool LoadIfCan(std::string* error = nullptr);
  bool LoadCanlib(std::string* error = nullptr);
};

}  // namespace telpod
