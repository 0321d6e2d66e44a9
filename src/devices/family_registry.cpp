#include "devices/family_registry.h"

#include <iterator>

#include "devices/canusb/canusb_family.h"
#include "devices/ifcan/ifcan_family.h"
#include "devices/kvaser/kvaser_family.h"
#include "devices/slcan/slcan_family.h"
#include "devices/socketcan/socketcan_family.h"

namespace telpod {

namespace {

// One row per family, in the device list's order; one line each, so that a
// family added is one line added.
// clang-format off
const FamilyEntry* const kFamilyTable[] = {
    &kCanusbFamily,
    &kIfCanFamily,
    &kKvaserFamily,
    &kSocketCanFamily,
    &slcan::kSlcanFamily,
};
// clang-format on

}  // namespace

std::span<const FamilyEntry* const> FamilyRegistry() {
  return kFamilyTable;
}

std::array<BitRate, kBitRates.size()> OfferedBitRates() {
  auto rates = kBitRates;
  for (BitRate& rate : rates) {
    for (size_t row = 0; row < std::size(kFamilyTable); ++row) {
      if (kFamilyTable[row]->offers_rate(rate.index)) {
        rate.offered_by |= DriverMaskBit(FamilyOfRow(row));
      }
    }
  }
  return rates;
}

}  // namespace telpod
