#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace telpod {

// The entry of a bit-rate index (0..8) in a family's table of getters, or
// nullptr for an index outside it or a rate the family does not offer.
template <typename Getter, size_t N>
Getter RateOf(const std::array<Getter, N>& table, int32_t t_bitRate) {
  if (t_bitRate < 0 || static_cast<size_t>(t_bitRate) >= N) return nullptr;
  return table[static_cast<size_t>(t_bitRate)];
}

}  // namespace telpod
