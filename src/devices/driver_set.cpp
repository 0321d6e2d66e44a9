#include "devices/driver_set.h"

#include "devices/family_registry.h"
#include "platform/driver_folders.h"

namespace telpod {

std::vector<DriverReport> DriverSet::LoadAll() {
  libraries_.clear();
  std::vector<DriverReport> reports;
  for (const FamilyEntry* entry : FamilyRegistry()) {
    if (!entry->library) continue;
    const char* file = entry->library->file;
    DriverReport& report = reports.emplace_back(DriverReport{file, false, false, {}});
    const auto path = platform::FindDriverFile(file);
    if (!path) {
      report.reason = std::string(file) + " is in none of the driver folders";
      continue;
    }
    report.found = true;
    auto library = entry->library->load(*path, &report.reason);
    report.loaded = library != nullptr;
    Add(std::move(library));
  }
  return reports;
}

void DriverSet::Add(std::unique_ptr<DriverLibrary> library) {
  if (library) libraries_.push_back(std::move(library));
}

}  // namespace telpod
