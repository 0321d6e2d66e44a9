#pragma once

#include <memory>
#include <string>

#include "devices/driver_loader.h"
#include "platform/dynamic_library.h"

namespace telpod {

// Base of the bindings: owns the loaded library, and builds a binding all
// or nothing. A Driver lists its entry points in
// ResolveEntryPoints(DriverLoader&) and befriends this class.
class DriverLibrary {
 public:
  virtual ~DriverLibrary() = default;
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

// A family's driver library: the file the driver folders are searched for,
// and the binding that loads it (nullptr, with the reason, when it cannot).
struct DriverFile {
  const char* file;
  std::unique_ptr<DriverLibrary> (*load)(const std::string& path, std::string* error);
};

// DriverFile's load for a binding with a static Load(path, error).
template <typename Driver>
std::unique_ptr<DriverLibrary> LoadBinding(const std::string& path, std::string* error) {
  return Driver::Load(path, error);
}

}  // namespace telpod
