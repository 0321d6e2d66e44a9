#include "platform/serial_port_search.h"

#include <glob.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string_view>

namespace telpod::platform {

namespace {

std::vector<std::string> Matches(const std::string& pattern) {
  glob_t found{};
  std::vector<std::string> paths;
  if (::glob(pattern.c_str(), GLOB_NOSORT, nullptr, &found) == 0) {
    paths.assign(found.gl_pathv, found.gl_pathv + found.gl_pathc);
  }
  ::globfree(&found);
  std::sort(paths.begin(), paths.end(), NaturalLess);
  return paths;
}

std::vector<std::string> Split(const std::string& list) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t colon = std::min(list.find(':', start), list.size());
    if (colon > start) parts.push_back(list.substr(start, colon - start));
    start = colon + 1;
  }
  return parts;
}

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The run of digits at `at`, without leading zeros.
std::string_view DigitRun(const std::string& s, size_t& at) {
  while (at < s.size() && s[at] == '0' && at + 1 < s.size() && IsDigit(s[at + 1])) ++at;
  const size_t start = at;
  while (at < s.size() && IsDigit(s[at])) ++at;
  return std::string_view(s).substr(start, at - start);
}

}  // namespace

SerialPortPlaces SystemSerialPortPlaces() {
  if (const char* named = std::getenv(kSerialPortsVariable)) return {{}, named};
  return {{"/dev/ttyUSB*", "/dev/ttyACM*", "/dev/serial/by-id/*"}, ""};
}

std::vector<std::string> FindSerialPorts(const SerialPortPlaces& places) {
  std::vector<std::string> candidates;
  for (const auto& pattern : places.patterns) {
    const auto paths = Matches(pattern);
    candidates.insert(candidates.end(), paths.begin(), paths.end());
  }
  const auto named = Split(places.named);
  candidates.insert(candidates.end(), named.begin(), named.end());

  std::vector<std::string> ports;
  std::set<std::filesystem::path> devices;
  for (const auto& path : candidates) {
    std::error_code error;
    const auto device = std::filesystem::canonical(path, error);
    if (!error && devices.insert(device).second) ports.push_back(path);
  }
  return ports;
}

bool NaturalLess(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const auto x = DigitRun(a, i);
      const auto y = DigitRun(b, j);
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

}  // namespace telpod::platform
