#pragma once

#include "devices/device_family.h"
#include "devices/driver_set.h"

namespace telpod {

// A family driven through a maker's library, binding Driver: present when
// that library loaded; its calls go through driver(), null while absent.
template <typename Driver>
class LibraryFamily : public DeviceFamily {
 public:
  bool Present() override { return driver() != nullptr; }

 protected:
  explicit LibraryFamily(const DriverSet& drivers) : drivers_(drivers) {}
  Driver* driver() const { return drivers_.Get<Driver>(); }

 private:
  const DriverSet& drivers_;
};

}  // namespace telpod
