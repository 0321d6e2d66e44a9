#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "devices/device_family.h"
#include "model/bit_rate_table.h"
#include "model/family.h"

namespace telpod {

// The family table: every interface family, in the device list's order.
// A family's row gives its number (t_select_Vender, row + 1) and its bit in
// the driver mask.
std::span<const FamilyEntry* const> FamilyRegistry();

// The family of a row of the table.
constexpr Family FamilyOfRow(size_t row) {
  return static_cast<Family>(static_cast<int32_t>(row) + 1);
}

// The nine rates, each with the families that offer it.
std::array<BitRate, kBitRates.size()> OfferedBitRates();

}  // namespace telpod
