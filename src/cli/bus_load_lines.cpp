#include "cli/bus_load_lines.h"

#include "model/bit_rate_table.h"
#include "model/bus_load.h"

namespace telpod {

std::vector<std::string> BusLoadEstimateLines(const CAN_SendDB& SendDB, int32_t t_bitRate) {
  const auto rate = FindBitRate(t_bitRate);
  if (!rate) return {};
  const BusLoadEstimate estimate = EstimateBusLoad(SendDB, rate->bits_per_second);
  // A row at period 0 goes out at every pass, as fast as the device takes frames.
  const std::string asked = estimate.every_pass ? "over 100%" : PercentText(estimate.percent);
  std::vector<std::string> lines{"bus load: the periodic rows ask " + asked + " of " + rate->label +
                                 " (frames at their worst-case length)"};
  if (estimate.verdict() == LoadVerdict::Over) {
    lines.push_back(
        "warning: that is more than the bus carries: frames will go out late or be "
        "refused");
  }
  return lines;
}

double AchievedBusLoadPercent(int64_t taken_bits, double seconds, int32_t t_bitRate) {
  const auto rate = FindBitRate(t_bitRate);
  if (!rate || seconds <= 0.0) return 0.0;
  return LoadPercent(static_cast<double>(taken_bits) / seconds, rate->bits_per_second);
}

}  // namespace telpod
