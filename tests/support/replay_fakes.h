#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/recorded_frame.h"
#include "send/frame_sender.h"
#include "support/engine_fakes.h"

namespace telpod::test {

// A frame recorded `ms` after time 0 with identifier `id` on `channel`.
inline RecordedFrame RecordedAt(double ms, uint32_t id = 0x100, std::string channel = "can0") {
  RecordedFrame f;
  f.time_ns = static_cast<int64_t>(ms * 1e6);
  f.channel = std::move(channel);
  f.frame.id = id;
  f.frame.dlc = 1;
  f.frame.data[0] = static_cast<uint8_t>(id);
  return f;
}

// A log held in memory; `rewinds` counts the rounds after the first.
class FramesInMemory : public RecordedFrames {
 public:
  explicit FramesInMemory(std::vector<RecordedFrame> frames,
                          std::optional<int64_t> last_ns = std::nullopt)
      : frames_(std::move(frames)), last_ns_(last_ns) {}

  bool Next(RecordedFrame& frame) override {
    if (at_ == frames_.size()) return false;
    frame = frames_[at_++];
    return true;
  }
  bool Rewind() override {
    at_ = 0;
    ++rewinds;
    return true;
  }
  const SkippedLines& skipped() const override { return skipped_lines; }
  double Position() const override {
    return frames_.empty() ? 1.0 : static_cast<double>(at_) / static_cast<double>(frames_.size());
  }
  std::optional<int64_t> LastTimeNs() const override { return last_ns_; }

  SkippedLines skipped_lines;
  int rewinds = 0;

 private:
  std::vector<RecordedFrame> frames_;
  std::optional<int64_t> last_ns_;
  size_t at_ = 0;
};

struct SentFrame {
  double time;
  CanFrame frame;
};

// Notes each frame with the clock's time; refuses the identifiers in
// `refused`, and remote frames altogether when `remote` is false.
class RecordingSender : public FrameSender {
 public:
  explicit RecordingSender(ScriptedClock& clock) : clock_(clock) {}
  bool Send(const CanFrame& frame) override {
    sent.push_back({clock_.now, frame});
    return std::find(refused.begin(), refused.end(), frame.id) == refused.end();
  }
  bool SendsRemoteFrames() const override { return remote; }
  std::vector<uint32_t> Ids() const {
    std::vector<uint32_t> ids;
    for (const auto& s : sent) ids.push_back(s.frame.id);
    return ids;
  }

  std::vector<SentFrame> sent;
  std::vector<uint32_t> refused;
  bool remote = true;

 private:
  ScriptedClock& clock_;
};

}  // namespace telpod::test
