#pragma once

#include <limits>
#include <memory>

#include "send/replay_schedule.h"

namespace telpod {

// The replay a connection plays beside its rows. The window or the
// command line loads one and takes it out again; the send loop asks it,
// between its rows, what is due.
class ReplaySlot {
 public:
  void Load(std::unique_ptr<ReplaySchedule> schedule) { schedule_ = std::move(schedule); }
  std::unique_ptr<ReplaySchedule> Unload() { return std::move(schedule_); }
  // The loaded replay, or null.
  ReplaySchedule* schedule() const { return schedule_.get(); }

  double NextDue() const {
    return schedule_ ? schedule_->NextDue() : std::numeric_limits<double>::infinity();
  }
  void SendDue(Clock& clock, FrameSender& sender) {
    if (schedule_) schedule_->SendDue(clock, sender);
  }

 private:
  std::unique_ptr<ReplaySchedule> schedule_;
};

}  // namespace telpod
