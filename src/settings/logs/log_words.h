#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace telpod {

// The blank-separated words of a line (blanks: space, tab, CR), the first
// kMax of them; more are not looked at.
struct LogWords {
  static constexpr size_t kMax = 16;
  std::array<std::string_view, kMax> word{};
  size_t count = 0;

  explicit LogWords(std::string_view line);
  std::string_view operator[](size_t i) const { return i < count ? word[i] : std::string_view(); }
};

// A number in base 16 or 10 without sign or prefix, all of `text`; nullopt
// for anything else or above 0xFFFFFFFF.
std::optional<uint32_t> ParseUnsigned(std::string_view text, int base);

// Seconds written as digits with an optional fraction ("12", "12.5",
// "1733480000.123456") in nanoseconds; digits past the ninth of the
// fraction are dropped. Nullopt for anything else or past the year 2255.
std::optional<int64_t> ParseSecondsNs(std::string_view text);

// Letters compared without case, as log headers are written either way.
bool SameWord(std::string_view a, std::string_view b);

}  // namespace telpod
