#include "devices/device_selection.h"

#include "devices/family_registry.h"

namespace telpod {

SelectedDeviceInfo Show_SelectedDevice_Info(FamilySet& families) {
  try {
    ELM327_Info& device = families.device;
    device.set_t_select_Vender(FamilyNumber(Family::None));
    // Positions count from 1; 0 (nothing chosen yet) or less names no entry.
    const int32_t position = device.t_CmbBOX_device_SelectNo();
    int32_t before = 0;
    for (size_t row = 0; row < families.size() && position >= 1; ++row) {
      DeviceFamily& family = families.at(row);
      const int32_t count = family.DeviceCount();
      if (position - before <= count) {
        device.set_t_select_Vender(FamilyNumber(FamilyOfRow(row)));
        return family.Select(position - before);
      }
      before += count;
    }
  } catch (...) {
  }
  return {0, std::nullopt};
}

}  // namespace telpod
