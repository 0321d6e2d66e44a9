#pragma once

#include "platform/window_services.h"

namespace telpod::platform {

// Returns at `deadline` without giving up the processor: a busy wait on the
// monotonic clock, for a stretch too short for a sleep to end on time. A
// past deadline returns at once.
void SpinUntil(Deadline deadline);

}  // namespace telpod::platform
