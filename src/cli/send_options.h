#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "send/replay_options.h"

namespace telpod {

// What telpod-send was asked to do.
struct SendOptions {
  bool help = false;
  bool version = false;
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
  // Rows whose fields were replaced by their defaults are sent all the same.
  bool lenient = false;
  // Refused frames and a troubled bus still end the run with status 0.
  bool allow_failed_writes = false;
  // A candump or Vector ASC log to play, and how to play it.
  std::optional<std::string> replay;
  ReplayOptions replaying;
};

// One option of the command line: its name, the word its value is shown
// as in the help ("" for a switch), its help text (lines separated by
// '\n'), and what it does to the options: "" or why its value is refused.
struct OptionSpec {
  std::string_view name;
  std::string_view value;
  std::string_view help;
  std::function<std::string(SendOptions&, const std::string&)> take;
};

// Every option telpod-send takes, in the order the help lists them.
std::span<const OptionSpec> SendOptionTable();

// The options, or the usage error that says what is wrong with them.
struct ParsedOptions {
  SendOptions options;
  std::string error;
};

// Reads "--name value" and "--name=value"; an option said twice is an
// error. -h or --help anywhere asks for the help alone, --version for the
// version alone.
ParsedOptions ParseSendOptions(const std::vector<std::string>& arguments);

// The index of a rate as the settings dialog labels it, the " bps" left
// out or not and in any letter case ("500k", "1M", "125k bps"), or as a
// plain number of bit/s ("500000") or kbit/s ("500").
std::optional<int32_t> BitRateIndexOfLabel(std::string_view text);

// Identifiers in hex, single or first-last, separated by commas:
// "7DF,7E0-7EF,18DAF110"; nullopt when the list is malformed or names an
// identifier above 29 bits.
std::optional<std::vector<IdRange>> ParseIdList(std::string_view text);

// The options, the frame lines, the settings file and the exit statuses.
void PrintSendHelp(std::ostream& out);

// "telpod-send 1.11" and the maker's lines.
void PrintSendVersion(std::ostream& out);

}  // namespace telpod
