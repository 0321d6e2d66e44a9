#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace telpod {

// Outcome of resolving the chosen device-list entry: the result (negative =
// the device does not work) and the new text of TB_ODB_Hard_Version, or
// nullopt to leave the text box as it was.
struct SelectedDeviceInfo {
  int32_t result = 0;
  std::optional<std::string> TB_ODB_Hard_Version;
};

}  // namespace telpod
