#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "send/can_senddb.h"

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

}  // namespace telpod::guest
