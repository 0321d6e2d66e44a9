#pragma once

#include <memory>
#include <string>
#include <vector>

#include "devices/driver_library.h"

namespace telpod {

// How one family's library fared: not found in any driver folder, found
// but unusable (with the loader's reason), or loaded.
struct DriverReport {
  const char* file = "";
  bool found = false;
  bool loaded = false;
  std::string reason;
};

// The driver libraries of the families in the family table that load one.
// A family whose library is missing or broken is simply absent; the others
// go on.
class DriverSet {
 public:
  // Loads each library from the first driver folder holding it, in the
  // table's order, and tells how each fared.
  std::vector<DriverReport> LoadAll();

  // The loaded binding of type Driver, or nullptr when its library is absent.
  template <typename Driver>
  Driver* Get() const {
    for (const auto& library : libraries_) {
      if (auto* driver = dynamic_cast<Driver*>(library.get())) return driver;
    }
    return nullptr;
  }

  // Takes a binding loaded elsewhere, as tests load a simulator.
  void Add(std::unique_ptr<DriverLibrary> library);

 private:
  std::vector<std::unique_ptr<DriverLibrary>> libraries_;
};

}  // namespace telpod
