#include "devices/driver_set.h"

#include "platform/driver_folders.h"

namespace telpod {

namespace {

template <typename Driver>
bool LoadFamily(const char* file, std::unique_ptr<Driver>& slot, std::string* error) {
  slot.reset();
  const auto path = platform::FindDriverFile(file);
  if (!path) {
    if (error) *error = std::string(file) + " is in none of the driver folders";
    return false;
  }
  slot = Driver::Load(*path, error);
  return slot != nullptr;
}

}  // namespace

bool DriverSet::LoadCanusb(std::string* error) {
  return LoadFamily(platform::kCanusbLibraryFile, canusb, error);
}

bool DriverSet::LoadIfCan(std::string* error) {
  return LoadFamily(platform::kIfCanLibraryFile, ifcan, error);
}

bool DriverSet::LoadCanlib(std::string* error) {
  return LoadFamily(platform::kCanlibLibraryFile, canlib, error);
}

}  // namespace telpod
