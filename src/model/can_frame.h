#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/can_senddb.h"

namespace telpod {

// One classic CAN frame as it is handed to a device: what a row becomes at
// the moment it is sent, and what a replayed log line carries.
struct CanFrame {
  static constexpr int kMaxData = 8;
  static constexpr uint32_t kMaxStandardId = 0x7FF;
  static constexpr uint32_t kMaxExtendedId = 0x1FFFFFFF;
  static constexpr uint32_t MaxId(bool extended) {
    return extended ? kMaxExtendedId : kMaxStandardId;
  }

  uint32_t id = 0;
  bool extended = false;
  bool remote = false;
  // As given, not clamped: a family decides what a length above 8 means.
  uint8_t dlc = 0;
  std::array<uint8_t, kMaxData> data{};

  friend bool operator==(const CanFrame&, const CanFrame&) = default;
};

// The frame of row i: its identifier, the extended format when CAN_Send29
// is exactly 1, the stored DLC and all eight data bytes. Rows never make
// remote frames.
CanFrame FrameOfRow(const CAN_SendDB& SendDB, int16_t i);

// Whether the frame's format can carry its identifier: 11 bits standard,
// 29 extended. A driver would cut a longer one down to another identifier
// (0x800 to 0x000), so such a frame is never handed to one.
bool IdFitsFormat(const CanFrame& frame);
// The frame as a candump log line writes it: "7DF#0201", extended
// identifiers with 8 hex digits, standard ones with 3, the data bytes of
// the length (at most 8); a remote frame as "7DF#R", or "7DF#R2" with its
// length.
std::string CandumpText(const CanFrame& frame);

}  // namespace telpod
