#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "devices/family_set.h"
#include "send/connection_skeleton.h"

namespace telpod {

// One frame as a line of the candump log format, with its newline:
// "(1733480000.123456) canusb-LW000001 7DF#0201" (see CandumpText).
std::string CandumpLine(std::chrono::system_clock::time_point when, std::string_view interface,
                        const CanFrame& frame);

// The chosen device's name in the frame lines as its family gives it
// ("canusb-" + serial number, "ifcan" + port, "kvaser" + channel number, the
// kernel's "vcan0"), characters other than letters, digits, '.', '_' and
// '-' as '_'; "none" when no family is chosen.
std::string DeviceInterfaceName(const FamilySet& families);

// Counts the frames the device took and, unless quiet, prints each as a
// candump line. Output is written in blocks, at least every 100 ms while
// frames come.
class CandumpPrinter final : public WriteObserver {
 public:
  CandumpPrinter(std::ostream& out, std::string interface, bool quiet)
      : out_(out), interface_(std::move(interface)), quiet_(quiet) {}

  void Written(const CanFrame& frame, bool taken) override;
  int64_t frames_written() const { return frames_written_; }

 private:
  std::ostream& out_;
  std::string interface_;
  bool quiet_;
  int64_t frames_written_ = 0;
  std::chrono::system_clock::time_point last_flush_{};
};

}  // namespace telpod
