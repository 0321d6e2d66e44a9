#include "cli/send_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>

#include "model/bit_rate_table.h"
#include "settings/file_save_system.h"
#include "settings/row_rules_file.h"

namespace telpod {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

std::optional<double> PositiveSeconds(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
      value <= 0) {
    return std::nullopt;
  }
  return value;
}

// Each option that takes a value stores it, or says why it cannot.
using ValueSetter = std::function<std::string(SendOptions&, const std::string&)>;

const std::map<std::string, ValueSetter, std::less<>>& ValueOptions() {
  static const std::map<std::string, ValueSetter, std::less<>> options{
      {"--device",
       [](SendOptions& o, const std::string& v) {
         o.device = v;
         return std::string();
       }},
      {"--rows",
       [](SendOptions& o, const std::string& v) {
         o.rows = v;
         return v.empty() ? std::string("--rows needs a file name") : std::string();
       }},
      {"--rules",
       [](SendOptions& o, const std::string& v) {
         o.rules = v;
         return v.empty() ? std::string("--rules needs a file name") : std::string();
       }},
      {"--rate",
       [](SendOptions& o, const std::string& v) {
         o.bit_rate = BitRateIndexOfLabel(v);
         return o.bit_rate
                    ? std::string()
                    : "--rate takes 1M, 800k, 500k, 250k, 125k, 100k, 50k, 20k or 10k, not \"" + v +
                          "\"";
       }},
      {"--seconds",
       [](SendOptions& o, const std::string& v) {
         o.seconds = PositiveSeconds(v);
         return o.seconds ? std::string()
                          : "--seconds takes a number of seconds above 0, not \"" + v + "\"";
       }},
  };
  return options;
}

// One argument, with the next one when it is the value: an error or "".
std::string TakeArgument(const std::vector<std::string>& arguments, size_t& k,
                         SendOptions& options) {
  const std::string& argument = arguments[k];
  if (argument == "--list") {
    options.list = true;
    return "";
  }
  if (argument == "--quiet") {
    options.quiet = true;
    return "";
  }
  const auto equals = argument.find('=');
  const std::string name = argument.substr(0, equals);
  const auto option = ValueOptions().find(name);
  if (option == ValueOptions().end()) {
    return argument.rfind('-', 0) == 0 ? "unknown option " + argument
                                       : "unexpected argument \"" + argument + "\"";
  }
  if (equals != std::string::npos) return option->second(options, argument.substr(equals + 1));
  if (k + 1 >= arguments.size()) return name + " needs a value";
  return option->second(options, arguments[++k]);
}

}  // namespace

ParsedOptions ParseSendOptions(const std::vector<std::string>& arguments) {
  ParsedOptions parsed;
  for (const auto& argument : arguments) {
    if (argument == "-h" || argument == "--help") {
      parsed.options.help = true;
      return parsed;
    }
  }
  for (size_t k = 0; k < arguments.size() && parsed.error.empty(); ++k) {
    parsed.error = TakeArgument(arguments, k, parsed.options);
  }
  const SendOptions& o = parsed.options;
  if (parsed.error.empty() && o.list && (o.device || o.rows || o.rules || o.seconds || o.quiet)) {
    parsed.error = "--list takes no other option than --rate";
  }
  return parsed;
}

std::optional<int32_t> BitRateIndexOfLabel(std::string_view text) {
  std::string wanted = Lower(text);
  if (wanted.ends_with("bps")) wanted.resize(wanted.size() - 3);
  if (wanted.ends_with(' ')) wanted.pop_back();
  for (const BitRate& rate : kBitRates) {
    const std::string label = Lower(rate.label);
    if (label.substr(0, label.find(' ')) == wanted) return rate.index;
  }
  return std::nullopt;
}

void PrintSendHelp(std::ostream& out) {
  out << "Usage: telpod-send [--device N | --device TEXT] [--rows FILE] [--rules FILE]\n"
         "                   [--rate RATE] [--seconds S] [--quiet]\n"
         "       telpod-send --list [--rate RATE]\n"
         "\n"
         "Sends TELPOD's periodic message rows from the command line, through the same\n"
         "devices, driver libraries and files as the window, until SIGINT (Ctrl+C) or\n"
         "SIGTERM, or for S seconds, then closes the device. Every frame the device takes\n"
         "is printed on standard output as a line of the candump log format, with the\n"
         "counter and checksum of its row's rules as they went out.\n"
         "\n"
         "Options:\n"
         "  --list          list the devices found, numbered as --device takes them:\n"
         "                  number, entry and information line, separated by tabs;\n"
         "                  a CANUSB adapter is opened at the rate to read its version\n"
         "  --device N      send on the N-th device of the list (default: 1)\n"
         "  --device TEXT   send on the device whose list entry is exactly TEXT\n"
         "  --rows FILE     the rows of a .csv or .xls file exported by TELPOD; rows it\n"
         "                  does not hold keep their defaults (default: the rows of\n"
         "                  the settings file)\n"
         "  --rules FILE    the rows' counters and checksums from FILE (default: the\n"
         "                  rules file below, when there is one)\n"
         "  --rate RATE     1M, 800k, 500k, 250k, 125k, 100k, 50k, 20k or 10k\n"
         "                  (default: the settings file's bit rate)\n"
         "  --seconds S     end after S seconds (S may have a fraction)\n"
         "  --quiet         print no frame lines\n"
         "  -h, --help      show this help and end\n"
         "\n"
         "Frame lines, extended identifiers with 8 hex digits, standard ones with 3:\n"
         "  (1733480000.123456) canusb-LW000001 7DF#0201\n"
         "The interface names: canusb-<serial number>, ifcan<port>, kvaser<channel>,\n"
         "and the kernel's own name for SocketCAN (can0, vcan0, ...).\n"
         "Messages, and a summary at the end (frames written, failed writes,\n"
         "seconds), go to standard error.\n"
         "\n"
         "Settings file (read, never written): "
      << FileSaveSystem::SettingFilePath()
      << "\n"
         "Rules file (read, never written):    "
      << RowRulesFile::Path()
      << "\n"
         "\n"
         "Exit status:\n"
         "  0  it ran and ended as asked\n"
         "  1  an unexpected error\n"
         "  2  usage error\n"
         "  3  no device: none found (or no driver library, or no clock library), or\n"
         "     --device names no listed device\n"
         "  4  the device could not be opened, or its family does not offer the rate\n"
         "  5  the rows file, or the rules file --rules names, could not be read\n"
         "A stop signal before the connection has started ends it with 128 + the\n"
         "signal's number.\n";
}

}  // namespace telpod
