#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "model/family.h"

namespace telpod {

// The families that offer a rate, as driver-mask bits.
constexpr int32_t Offered(std::initializer_list<Family> families) {
  int32_t bits = 0;
  for (const Family f : families) bits |= DriverMaskBit(f);
  return bits;
}

// A rate every family offers, however many the family table holds.
inline constexpr int32_t kEveryFamily = ~int32_t{0};

// One bit rate of the common settings: its index (t_bitRate), the rate, the
// label shown in TB_Protocol and the dialog, and which families offer it.
struct BitRate {
  int32_t index;
  int32_t bits_per_second;
  const char* label;
  int32_t offered_by = 0;

  constexpr bool SupportedBy(Family family) const {
    return (offered_by & DriverMaskBit(family)) != 0;
  }
};

// The nine rates. Which families offer each is the families' own say
// (OfferedBitRates in devices/family_registry.h), so offered_by is empty
// here. Index 8 is 125k, after 10k: the order the settings file has always
// stored.
inline constexpr std::array<BitRate, 9> kBitRates{{
    {0, 1'000'000, "1M bps"},
    {1, 800'000, "800k bps"},
    {2, 500'000, "500k bps"},
    {3, 250'000, "250k bps"},
    {4, 100'000, "100k bps"},
    {5, 50'000, "50k bps"},
    {6, 20'000, "20k bps"},
    {7, 10'000, "10k bps"},
    {8, 125'000, "125k bps"},
}};

// The rate and label of an index, or nullopt outside 0..8.
std::optional<BitRate> FindBitRate(int32_t index);

// The TB_Protocol label of an index; empty outside 0..8.
std::string BitRateLabel(int32_t index);

}  // namespace telpod
