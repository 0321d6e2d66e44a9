#include "model/bit_rate_table.h"

namespace telpod {

std::optional<BitRate> FindBitRate(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(kBitRates.size())) return std::nullopt;
  return kBitRates[static_cast<size_t>(index)];
}

std::string BitRateLabel(int32_t index) {
  const auto rate = FindBitRate(index);
  return rate ? rate->label : "";
}

}  // namespace telpod
