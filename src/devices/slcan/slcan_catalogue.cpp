#include "devices/slcan/slcan_catalogue.h"

namespace telpod::slcan {

bool Catalogue::Add(Adapter adapter) {
  if (adapters_.size() >= kCapacity) return false;
  adapters_.push_back(std::move(adapter));
  return true;
}

const Adapter* Catalogue::Chosen() const {
  if (chosen_ < 1 || static_cast<size_t>(chosen_) > adapters_.size()) return nullptr;
  return &adapters_[static_cast<size_t>(chosen_ - 1)];
}

}  // namespace telpod::slcan
