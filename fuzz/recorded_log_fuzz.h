// A recorded log reader: any bytes as a log of one format. Besides not
// crashing, every frame it reads must be one a device can be handed, and a
// second round must read the same frames.
#pragma once

#include <cstdlib>
#include <sstream>
#include <vector>

#include "settings/logs/recorded_log.h"

namespace telpod::fuzz {

inline bool Sendable(const RecordedFrame& recorded) {
  const CanFrame& f = recorded.frame;
  return !recorded.channel.empty() && f.dlc <= 15 && f.id <= CanFrame::MaxId(f.extended) &&
         recorded.time_ns >= 0;
}

inline std::vector<CanFrame> Round(RecordedFrames& frames) {
  std::vector<CanFrame> read;
  RecordedFrame recorded;
  while (frames.Next(recorded)) {
    if (!Sendable(recorded)) std::abort();
    read.push_back(recorded.frame);
  }
  return read;
}

inline void ReadTwice(const uint8_t* data, size_t size, LogFormat format) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const LogOpening log =
      ReadRecordedLog(std::make_unique<std::istringstream>(bytes), size, format, "fuzz.log");
  if (!log.frames) {
    if (log.error.empty()) std::abort();
    return;
  }
  const auto first = Round(*log.frames);
  if (first.empty() || !log.frames->Rewind() || Round(*log.frames) != first) std::abort();
  if (log.frames->Position() != 1.0) std::abort();
}

}  // namespace telpod::fuzz
