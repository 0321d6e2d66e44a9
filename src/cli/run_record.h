#pragma once

#include <cstdint>
#include <string>

#include "send/clock.h"
#include "send/connection_skeleton.h"

namespace telpod {

// What telpod-send learns of its connection in place of the status boxes:
// whether the loop ran (it starts only on an opened device, at a rate its
// family offers), for how long by the loop's clock, the frames the device
// refused and the bits of those it took by the loop's end, and the gravest
// bus state read on the way.
class RunRecord final : public ConnectionView {
 public:
  // The bus is read as often as the window's status box reads it.
  static constexpr double kBusLookMs = 800.0;

  explicit RunRecord(Clock& clock) : clock_(clock) {}

  void set_TB_Status(const std::string&) override {}
  void set_TB_Protocol(const std::string&) override {}
  void LoopStarted(LiveConnection& live) override;
  void LoopEnded(LiveConnection& live) override;

  // Between passes of the loop: reads the bus state when kBusLookMs have
  // gone by since the last reading.
  void LookAtBus();

  bool started() const { return started_; }
  // Seconds since the loop started, up to its end once it has ended; 0
  // before it starts.
  double Seconds() const;
  int64_t failed_writes() const { return failed_writes_; }
  // Bits of the frames the device took, by the loop's end.
  int64_t taken_bits() const { return taken_bits_; }
  BusState worst_bus_state() const { return worst_state_; }

 private:
  void ReadBus(LiveConnection& live);

  Clock& clock_;
  LiveConnection* live_ = nullptr;
  bool started_ = false;
  bool ended_ = false;
  double start_ms_ = 0;
  double end_ms_ = 0;
  double last_look_ms_ = 0;
  int64_t failed_writes_ = 0;
  int64_t taken_bits_ = 0;
  BusState worst_state_ = BusState::Normal;
};

}  // namespace telpod
