#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace telpod {

// What telpod-send was asked to do.
struct SendOptions {
  bool help = false;
  bool list = false;
  // A list position (digits) or a device-list entry's text; the first
  // device when not given.
  std::optional<std::string> device;
  // A CSV or .xls file of exported rows; config.dat's rows when not given.
  std::optional<std::string> rows;
  // A rules file of the rows' counters and checksums; the window's when not given.
  std::optional<std::string> rules;
  // A bit-rate index (t_bitRate); config.dat's when not given.
  std::optional<int32_t> bit_rate;
  // How long to send; until a stop signal when not given.
  std::optional<double> seconds;
  bool quiet = false;
};

// The options, or the usage error that says what is wrong with them.
struct ParsedOptions {
  SendOptions options;
  std::string error;
};

// Reads "--name value" and "--name=value"; -h or --help anywhere asks for
// the help alone.
ParsedOptions ParseSendOptions(const std::vector<std::string>& arguments);

// The index of a rate as the settings dialog labels it, the " bps" left
// out or not and in any letter case: "500k", "1M", "125k bps".
std::optional<int32_t> BitRateIndexOfLabel(std::string_view text);

// The options, the frame lines, the settings file and the exit statuses.
void PrintSendHelp(std::ostream& out);

}  // namespace telpod
