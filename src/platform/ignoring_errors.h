#pragma once

namespace telpod::platform {

// Runs one step of a sequence whose failure is ignored: whatever it throws,
// the next step runs.
template <typename Step>
void IgnoringErrors(Step&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace telpod::platform
