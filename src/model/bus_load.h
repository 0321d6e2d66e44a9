#pragma once

#include <cstdint>
#include <string>

#include "model/can_frame.h"
#include "model/can_senddb.h"

namespace telpod {

// The bits a frame takes on the wire at worst-case bit stuffing, the 3-bit
// intermission included: 55 + 10 per data byte in the standard format, 80 +
// 10 per byte in the extended one (135 and 160 for eight bytes). A remote
// frame carries no data; a length above 8 still carries 8 bytes.
int32_t FrameBits(const CanFrame& frame);

// How the bus stands under a load: room to spare, busy (above 70%: other
// nodes' frames and retransmissions wait), or more than it can carry.
enum class LoadVerdict { Fits, Busy, Over };
inline constexpr double kBusyPercent = 70.0;
inline constexpr double kFullPercent = 100.0;
LoadVerdict VerdictOf(double percent);

// Bits per second as a share of the bit rate, in percent.
double LoadPercent(double bits_per_second, int32_t bit_rate);

// What the rows that go out periodically ask of the bus at a bit rate.
struct BusLoadEstimate {
  // The rows with a period above 0, at that period.
  double percent = 0.0;
  // A row with a period of 0 or less goes out at every pass of the loop, as
  // fast as the device takes frames: more than any bus carries, at a rate
  // nobody can tell in advance.
  bool every_pass = false;

  LoadVerdict verdict() const { return every_pass ? LoadVerdict::Over : VerdictOf(percent); }
};

// The estimate for the rows the send loop sends periodically (a standard
// row above 0x7FF is not among them). A period that is not a number never
// falls due and asks nothing.
BusLoadEstimate EstimateBusLoad(const CAN_SendDB& SendDB, int32_t bit_rate);

// "27.0%": one decimal, "." as separator, whatever the locale.
std::string PercentText(double percent);

}  // namespace telpod
