#include "devices/device_discovery.h"

#include "devices/family_registry.h"
#include "platform/ignoring_errors.h"

namespace telpod {

namespace {

using platform::IgnoringErrors;

constexpr double kSearchBegins = 0.15;
constexpr double kEveryFamilySearched = 0.45;
constexpr double kEveryEntryListed = 0.7;

void SearchFamilies(int32_t mask, FamilySet& set, platform::EventPump& pump,
                    DiscoveryProgress& progress) {
  progress.Progress(kSearchBegins);
  for (size_t row = 0; row < set.size(); ++row) {
    if (mask & DriverMaskBit(FamilyOfRow(row))) {
      IgnoringErrors([&] { set.at(row).FindDevices(pump); });
    }
    if (const auto p = FamilyRegistry()[row]->searched_progress) progress.Progress(*p);
  }
  progress.Progress(kEveryFamilySearched);
}

bool AnyDeviceFound(const FamilySet& set) {
  for (size_t row = 0; row < set.size(); ++row) {
    if (set.at(row).DeviceCount() >= 1) return true;
  }
  return false;
}

// Each family's entries in the table's order, the count read again before
// each entry.
void ListDevices(const FamilySet& set, DiscoveryProgress& progress) {
  for (size_t row = 0; row < set.size(); ++row) {
    const DeviceFamily& family = set.at(row);
    for (int32_t n = 1; n <= family.DeviceCount(); ++n) progress.AddEntry(family.EntryText(n));
    if (const auto p = FamilyRegistry()[row]->listed_progress) progress.Progress(*p);
  }
}

}  // namespace

void Reset_Shared_Objects(FamilySet& families, CAN_SendDB& Tx_CANDATA) {
  families.device.Param_ALL_Clear();
  for (size_t row = 0; row < families.size(); ++row) families.at(row).Reset();
  Tx_CANDATA.Param_ALL_Clear();
}

bool Find_Devices(int32_t mask, FamilySet& families, platform::EventPump& pump,
                  DiscoveryProgress& progress) {
  SearchFamilies(mask, families, pump, progress);
  progress.Judging();
  if (!AnyDeviceFound(families)) return false;
  IgnoringErrors([&] { ListDevices(families, progress); });
  progress.Progress(kEveryEntryListed);
  return true;
}

}  // namespace telpod
