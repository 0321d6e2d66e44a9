#include "settings/logs/log_words.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace telpod {

namespace {

bool Blank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; });
}

constexpr int64_t kMaxSeconds = 9'000'000'000;
constexpr int kFractionDigits = 9;

}  // namespace

LogWords::LogWords(std::string_view line) {
  size_t i = 0;
  while (count < kMax) {
    while (i < line.size() && Blank(line[i])) ++i;
    if (i == line.size()) break;
    const size_t start = i;
    while (i < line.size() && !Blank(line[i])) ++i;
    word[count++] = line.substr(start, i - start);
  }
}

std::optional<uint32_t> ParseUnsigned(std::string_view text, int base) {
  uint32_t value = 0;
  if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<int64_t> ParseSecondsNs(std::string_view text) {
  const size_t dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? "" : text.substr(dot + 1);
  if (whole.empty() || whole.size() > 10 || !AllDigits(whole) || !AllDigits(fraction)) {
    return std::nullopt;
  }
  int64_t seconds = 0;
  std::from_chars(whole.data(), whole.data() + whole.size(), seconds);
  if (seconds > kMaxSeconds) return std::nullopt;
  int64_t nanos = 0;
  for (int n = 0; n < kFractionDigits; ++n) {
    nanos = nanos * 10 + (static_cast<size_t>(n) < fraction.size() ? fraction[n] - '0' : 0);
  }
  return seconds * 1'000'000'000 + nanos;
}

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

}  // namespace telpod
