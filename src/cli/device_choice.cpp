#include "cli/device_choice.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace telpod {

namespace {

bool AllDigits(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

}  // namespace

std::optional<int32_t> ChosenPosition(const std::optional<std::string>& device,
                                      const std::vector<std::string>& entries) {
  const auto count = static_cast<int32_t>(entries.size());
  if (!device) return count >= 1 ? std::optional<int32_t>(1) : std::nullopt;
  if (AllDigits(*device)) {
    int32_t position = 0;
    const auto [end, error] =
        std::from_chars(device->data(), device->data() + device->size(), position);
    if (error != std::errc() || position < 1 || position > count) return std::nullopt;
    return position;
  }
  const auto found = std::find(entries.begin(), entries.end(), *device);
  if (found == entries.end()) return std::nullopt;
  return static_cast<int32_t>(found - entries.begin()) + 1;
}

}  // namespace telpod
