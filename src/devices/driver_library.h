#pragma once

#include <memory>
#include <string>

#include "devices/driver_loader.h"
#include "platform/dynamic_library.h"

namespace telpod {

// Base of the three bindings: owns the loaded library, and builds a binding
// all or nothing. A Driver lists its entry points in
// ResolveEntryPoints(DriverLoader&) and befriends this class.
class DriverLibrary {
 public:
  const std::string& path() const { return library_.path(); }

 protected:
  DriverLibrary() = default;

  template <typename Driver>
  static std::unique_ptr<Driver> LoadAll(const std::string& path, std::string* error) {
    std::unique_ptr<Driver> driver(new Driver);
    DriverLoader loader(path);
    driver->ResolveEntryPoints(loader);
    if (!loader.Finish(driver->library_, error)) return nullptr;
    return driver;
  }

 private:
  platform::DynamicLibrary library_;
};

}  // namespace telpod
