#include "devices/family_set.h"

#include "devices/family_registry.h"

namespace telpod {

FamilySet::FamilySet(ELM327_Info& device, FamilyObjects& objects, SocketCanSystem& socketcan)
    : device(device), objects(objects), socketcan(socketcan) {
  for (const FamilyEntry* entry : FamilyRegistry()) families_.push_back(entry->make(*this));
}

DeviceFamily* FamilySet::Chosen() const {
  const int32_t row = device.t_select_Vender() - 1;
  if (row < 0 || static_cast<size_t>(row) >= families_.size()) return nullptr;
  return families_[static_cast<size_t>(row)].get();
}

}  // namespace telpod
