#include "devices/driver_set.h"

#include "platform/driver_folders.h"

namespace telpod {

namespace {

template <typename Driver>
DriverReport LoadFamily(Family family, const char* file, std::unique_ptr<Driver>& slot) {
  slot.reset();
  DriverReport report{family, file, false, false, {}};
  const auto path = platform::FindDriverFile(file);
  if (!path) {
    report.reason = std::string(file) + " is in none of the driver folders";
    return report;
  }
  report.found = true;
  slot = Driver::Load(*path, &report.reason);
  report.loaded = slot != nullptr;
  return report;
}

}  // namespace

std::array<DriverReport, 3> DriverSet::LoadAll() {
  return {LoadFamily(Family::CANUSB, platform::kCanusbLibraryFile, canusb),
          LoadFamily(Family::Interface, platform::kIfCanLibraryFile, ifcan),
          LoadFamily(Family::Kvaser, platform::kCanlibLibraryFile, canlib)};
}

}  // namespace telpod
