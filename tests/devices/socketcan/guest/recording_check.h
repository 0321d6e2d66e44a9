#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "model/can_senddb.h"

namespace telpod::guest {

// One row of the guest run: what goes into the send table, and what the
// recording must show of it.
struct GuestRow {
  int16_t row;
  uint8_t extended;
  int32_t id;
  uint8_t dlc;
  std::array<uint8_t, 8> data;
  double period_ms;                 // 0: no periodic sending
  std::vector<double> one_shot_at;  // ms after the start when Send is pressed
  bool reaches_bus;                 // false: not one frame of it may appear
};

const std::vector<GuestRow>& GuestRows();

// The rows into the table, one-shot requests cleared, as Connect leaves it.
void LoadGuestRows(CAN_SendDB& SendDB);

// Checks candump -L lines ("(1733480000.123456) vcan0 123#1122") of a run of
// `run_ms` against the guest rows: identifiers, formats, lengths and data of
// every frame, one-shot counts, each periodic row's count, and with
// `gap_tolerance_ms` its gaps: never shorter than the period, less that
// tolerance for the kernel stamping a frame a little after the loop read its
// clock. Writes a summary per row to `report`; returns the faults found.
std::vector<std::string> CheckRecording(const std::vector<std::string>& lines, double run_ms,
                                        std::optional<double> gap_tolerance_ms,
                                        std::ostream& report);

}  // namespace telpod::guest
