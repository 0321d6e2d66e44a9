#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/shared_bus.h"

namespace telpod::test {

// The frames one member of a shared bus received, waited for as a second
// process would.
class ReceivedFrames {
 public:
  cansim::SharedBus::Delivery Delivery() {
    return [this](std::string_view bus, const cansim::BusFrame& frame) {
      std::lock_guard lock(mutex_);
      frames_.emplace_back(bus, frame);
      arrived_.notify_all();
    };
  }
  // The frames so far once there are `count`, or after 30 s without them.
  std::vector<std::pair<std::string, cansim::BusFrame>> Wait(size_t count) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::seconds(30), [&] { return frames_.size() >= count; });
    return frames_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::pair<std::string, cansim::BusFrame>> frames_;
};

}  // namespace telpod::test
