#pragma once

#include "model/can_frame.h"

namespace telpod {

// Hands frames that come from no row to the device: a replayed log's.
class FrameSender {
 public:
  // False when the device did not take the frame; it is not retried.
  virtual bool Send(const CanFrame& frame) = 0;
  // A device whose frame record has no remote flag cannot send remote
  // frames at all.
  virtual bool SendsRemoteFrames() const { return true; }

 protected:
  ~FrameSender() = default;
};

}  // namespace telpod
