#pragma once

#include <cstdint>

#include "core/config.h"

namespace cansim {

// How a simulated controller stands on its bus.
enum class BusCondition { ErrorActive, ErrorPassive, BusOff };

// The transmit queue of a device under the lonely-bus keys: after `txqueue`
// frames since the open it is full for good and the controller error
// passive; a controller off the bus takes nothing. Without the keys every
// frame goes out.
class LonelyBus {
 public:
  explicit LonelyBus(const LonelyBusSpec& keys) : keys_(keys) {}

  // The device was opened: an empty queue, error active.
  void Open() {
    queued_ = 0;
    full_ = false;
  }
  // True when the queue takes one more frame.
  bool Take() {
    if (keys_.busoff) return false;
    if (keys_.txqueue && queued_ >= *keys_.txqueue) full_ = true;
    if (full_) return false;
    ++queued_;
    return true;
  }
  BusCondition condition() const {
    if (keys_.busoff) return BusCondition::BusOff;
    return full_ ? BusCondition::ErrorPassive : BusCondition::ErrorActive;
  }

 private:
  LonelyBusSpec keys_;
  int64_t queued_ = 0;
  bool full_ = false;
};

}  // namespace cansim
