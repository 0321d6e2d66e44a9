#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace telpod {

// The 1-based list position that --device names among `entries`: digits
// name a position, any other text the first entry that is exactly that
// text, and no --device the first entry. nullopt when it names none.
std::optional<int32_t> ChosenPosition(const std::optional<std::string>& device,
                                      const std::vector<std::string>& entries);

}  // namespace telpod
