#include "devices/driver_loader.h"

namespace telpod {

bool DriverLoader::Finish(platform::DynamicLibrary& owner, std::string* error) {
  if (!ok()) {
    if (error) *error = library_.error();
    return false;
  }
  owner = std::move(library_);
  return true;
}

}  // namespace telpod
