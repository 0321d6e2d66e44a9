#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "send/connection_status.h"

namespace telpod {

// What one connection of telpod-send did, as its last line tells it.
struct RunFigures {
  int64_t frames_written = 0;
  int64_t failed_writes = 0;
  double seconds = 0;
  BusState worst_bus_state = BusState::Normal;
  // Percent of the bit rate, once the loop has run.
  std::optional<double> achieved_bus_load = std::nullopt;
};

// True when the device refused frames or the bus was error passive or off
// at some reading: the run did not put out what it was asked to.
bool RunFailedOnTheBus(const RunFigures& figures);

// The summary: "12 frames written, 0 failed writes, 5.000 seconds", the
// bus load achieved when the loop ran (", achieved bus load 1.4%"), and the
// gravest bus state read when it was not well, in the words of the
// window's status box (", error passive").
std::string SummaryLine(const RunFigures& figures);

}  // namespace telpod
