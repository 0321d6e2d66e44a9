#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/can_senddb.h"

namespace telpod {

// What telpod-send says of the bus load before it starts: the load the
// periodic rows ask for at the rate `t_bitRate` names, and a warning line
// when that is more than the bus carries. None for a rate outside the
// table (the connection refuses it).
std::vector<std::string> BusLoadEstimateLines(const CAN_SendDB& SendDB, int32_t t_bitRate);

// The load achieved over a run, in percent of the rate `t_bitRate` names:
// the bits of the frames the device took, per second of the run.
double AchievedBusLoadPercent(int64_t taken_bits, double seconds, int32_t t_bitRate);

}  // namespace telpod
