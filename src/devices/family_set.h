#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "devices/device_family.h"
#include "devices/driver_set.h"
#include "devices/family_objects.h"
#include "devices/socketcan/socketcan_system.h"
#include "model/elm327_info.h"

namespace telpod {

// What travels together through start-up, the device list and Connect: the
// application information object, the families' objects, their libraries,
// the kernel's CAN layer, and one DeviceFamily per row of the family table,
// bound to them. The program keeps one for its whole run.
class FamilySet {
 public:
  FamilySet(ELM327_Info& device, FamilyObjects& objects, SocketCanSystem& socketcan);
  FamilySet(const FamilySet&) = delete;
  FamilySet& operator=(const FamilySet&) = delete;

  ELM327_Info& device;
  FamilyObjects& objects;
  SocketCanSystem& socketcan;
  DriverSet drivers;

  // The families in the table's order.
  size_t size() const { return families_.size(); }
  DeviceFamily& at(size_t row) const { return *families_[row]; }
  // The family t_select_Vender names, or nullptr when it names none.
  DeviceFamily* Chosen() const;

 private:
  std::vector<std::unique_ptr<DeviceFamily>> families_;
};

}  // namespace telpod
