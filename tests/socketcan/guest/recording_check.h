#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace telpod::guest {

// One line of candump -L: "(1733480000.123456) vcan0 123#1122".
struct RecordedFrame {
  double time_ms;
  bool extended;
  uint32_t id;
  std::vector<uint8_t> data;
};

// nullopt for a line that is not a classic data frame in that format.
std::optional<RecordedFrame> ParseCandumpLine(const std::string& line);

// Checks the recording of a run of `run_ms` against the guest rows:
// identifiers, formats, lengths and data of every frame, one-shot counts,
// each periodic row's count, and with `gap_tolerance_ms` its gaps: never
// shorter than the period, less that tolerance for the kernel stamping a
// frame a little after the loop read its clock. Writes a summary per row to
// `report`; returns the faults found, none when the recording is right.
std::vector<std::string> CheckRecording(const std::vector<std::string>& lines, double run_ms,
                                        std::optional<double> gap_tolerance_ms,
                                        std::ostream& report);

}  // namespace telpod::guest
