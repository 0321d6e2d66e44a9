#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/recorded_frame.h"

namespace telpod {

// Identifiers first to last, both included.
struct IdRange {
  uint32_t first = 0;
  uint32_t last = 0;
};

// How a recorded log is played.
struct ReplayOptions {
  static constexpr double kMinSpeed = 0.1;
  static constexpr double kMaxSpeed = 100.0;

  // Recorded time runs this many times as fast.
  double speed = 1.0;
  // How many times the log is played; 0 until stopped.
  int64_t rounds = 1;
  // Only the frames recorded on this interface or channel; all when unset.
  std::optional<std::string> channel = std::nullopt;
  // Only the frames with these identifiers; all when empty.
  std::vector<IdRange> ids = {};

  bool OnChosenChannel(const RecordedFrame& f) const { return !channel || f.channel == *channel; }
  bool ChosenId(uint32_t id) const;
};

}  // namespace telpod
