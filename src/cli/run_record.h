#pragma once

#include <cstdint>
#include <string>

#include "send/clock.h"
#include "send/connection_skeleton.h"

namespace telpod {

// What telpod-send learns of its connection in place of the status boxes:
// whether the loop ran (it starts only on an opened device, at a rate its
// family offers), for how long by the loop's clock, and the frames the
// device refused and the bits of those it took by the loop's end.
class RunRecord final : public ConnectionView {
 public:
  explicit RunRecord(Clock& clock) : clock_(clock) {}

  void set_TB_Status(const std::string&) override {}
  void set_TB_Protocol(const std::string&) override {}
  void LoopStarted(LiveConnection& live) override;
  void LoopEnded(LiveConnection& live) override;

  bool started() const { return started_; }
  // Seconds since the loop started, up to its end once it has ended; 0
  // before it starts.
  double Seconds() const;
  int64_t failed_writes() const { return failed_writes_; }
  // Bits of the frames the device took, by the loop's end.
  int64_t taken_bits() const { return taken_bits_; }

 private:
  Clock& clock_;
  bool started_ = false;
  bool ended_ = false;
  double start_ms_ = 0;
  double end_ms_ = 0;
  int64_t failed_writes_ = 0;
  int64_t taken_bits_ = 0;
};

}  // namespace telpod
