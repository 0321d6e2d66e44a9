#include "cli/candump_printer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace telpod {

namespace {

constexpr auto kFlushInterval = std::chrono::milliseconds(100);

std::string Blankless(std::string text) {
  std::replace_if(
      text.begin(), text.end(),
      [](unsigned char c) { return !std::isalnum(c) && c != '.' && c != '_' && c != '-'; }, '_');
  return text;
}

}  // namespace

std::string CandumpLine(std::chrono::system_clock::time_point when, std::string_view interface,
                        const CanFrame& frame) {
  const auto micros =
      std::chrono::duration_cast<std::chrono::microseconds>(when.time_since_epoch()).count();
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "(%lld.%06lld) ", static_cast<long long>(micros / 1'000'000),
                static_cast<long long>(micros % 1'000'000));
  std::string line = stamp;
  line.append(interface);
  return line + ' ' + CandumpText(frame) + '\n';
}

std::string DeviceInterfaceName(const FamilySet& families) {
  const DeviceFamily* family = families.Chosen();
  return family ? Blankless(family->InterfaceName()) : "none";
}

void CandumpPrinter::Written(const CanFrame& frame, bool taken) {
  if (!taken) return;
  ++frames_written_;
  if (quiet_) return;
  const auto now = std::chrono::system_clock::now();
  out_ << CandumpLine(now, interface_, frame);
  if (now - last_flush_ >= kFlushInterval) {
    out_.flush();
    last_flush_ = now;
  }
}

}  // namespace telpod
