#include "model/bus_load.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "model/row_sending.h"

namespace telpod {

namespace {
constexpr int32_t kStandardFrameBits = 55;
constexpr int32_t kExtendedFrameBits = 80;
constexpr int32_t kBitsPerDataByte = 10;
constexpr double kMillisecondsPerSecond = 1000.0;
}  // namespace

int32_t FrameBits(const CanFrame& frame) {
  const int32_t bytes = frame.remote ? 0 : std::min<int32_t>(frame.dlc, CanFrame::kMaxData);
  return (frame.extended ? kExtendedFrameBits : kStandardFrameBits) + kBitsPerDataByte * bytes;
}

LoadVerdict VerdictOf(double percent) {
  if (percent > kFullPercent) return LoadVerdict::Over;
  if (percent > kBusyPercent) return LoadVerdict::Busy;
  return LoadVerdict::Fits;
}

double LoadPercent(double bits_per_second, int32_t bit_rate) {
  return bit_rate > 0 ? 100.0 * bits_per_second / bit_rate : 0.0;
}

BusLoadEstimate EstimateBusLoad(const CAN_SendDB& SendDB, int32_t bit_rate) {
  BusLoadEstimate estimate;
  double bits_per_second = 0.0;
  for (int16_t i = 0; i <= LastRow(SendDB); ++i) {
    if (!SendsPeriodically(SendDB, i)) continue;
    const double period = SendDB.CAN_SendCycleTime(i);
    if (period <= 0.0) {
      estimate.every_pass = true;
    } else if (!std::isnan(period)) {
      bits_per_second += FrameBits(FrameOfRow(SendDB, i)) * kMillisecondsPerSecond / period;
    }
  }
  estimate.percent = LoadPercent(bits_per_second, bit_rate);
  return estimate;
}

std::string PercentText(double percent) {
  // to_chars ignores the locale, which the window sets from the user's.
  char text[400];
  const auto r = std::to_chars(text, text + sizeof text, percent, std::chars_format::fixed, 1);
  return std::string(text, r.ptr) + "%";
}

}  // namespace telpod
