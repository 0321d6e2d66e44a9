#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace telpod {

// The bytes to save, or nullopt with `reason` set when there are none that
// may be written.
using BytesToSave = std::function<std::optional<std::string>(std::string& reason)>;

// Saves a file of the user's settings folder, making the folder first when
// it is missing; the file at `path()` is replaced whole or not at all. 0, or
// -1 with `reason` the text the user is shown. Nothing is thrown: `path`
// and `bytes` run inside.
int32_t SaveInSettingsFolder(std::string (*path)(), const BytesToSave& bytes, std::string& reason);

}  // namespace telpod
