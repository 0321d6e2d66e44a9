#include "cli/send_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <set>

#include "cli/exit_status.h"
#include "cli/help_layout.h"
#include "model/bit_rate_table.h"
#include "model/elm327_info.h"
#include "settings/file_save_system.h"
#include "settings/row_rules_file.h"

namespace telpod {
namespace {

constexpr size_t kOptionIndent = 18;
constexpr int32_t kBitsPerKilobit = 1000;

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

std::optional<double> Number(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> PositiveSeconds(const std::string& text) {
  const auto value = Number(text);
  if (!value || !std::isfinite(*value) || *value <= 0) return std::nullopt;
  return value;
}

std::optional<int64_t> Count(const std::string& text) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

std::optional<uint32_t> HexId(std::string_view text) {
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      value > CanFrame::kMaxExtendedId) {
    return std::nullopt;
  }
  return value;
}

std::optional<int32_t> IndexOfBitsPerSecond(std::string_view digits) {
  int64_t number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  for (const BitRate& rate : kBitRates) {
    if (number == rate.bits_per_second || number * kBitsPerKilobit == rate.bits_per_second) {
      return rate.index;
    }
  }
  return std::nullopt;
}

// A switch: no value, just on.
template <bool SendOptions::*Field>
std::string Switch(SendOptions& options, const std::string&) {
  options.*Field = true;
  return "";
}

const OptionSpec kOptions[] = {
    {"--list", "",
     "list the devices found, numbered as --device takes them: number, entry and information "
     "line, separated by tabs; a CANUSB adapter is opened at the rate (--rate) to read its "
     "version",
     Switch<&SendOptions::list>},
    {"--device", "N|TEXT",
     "send on the N-th device of the list, or on the one whose entry is exactly TEXT "
     "(default: 1)",
     [](SendOptions& o, const std::string& v) {
       o.device = v;
       return std::string();
     }},
    {"--rows", "FILE",
     "the rows of a .csv or .xls file (one TELPOD exported, or one written by hand as the "
     "manual page describes); rows it does not hold keep their defaults (default: the rows of "
     "the settings file)",
     [](SendOptions& o, const std::string& v) {
       o.rows = v;
       return v.empty() ? std::string("--rows needs a file name") : std::string();
     }},
    {"--rules", "FILE",
     "the rows' counters and checksums from FILE (default: the rules file below, when there "
     "is one)",
     [](SendOptions& o, const std::string& v) {
       o.rules = v;
       return v.empty() ? std::string("--rules needs a file name") : std::string();
     }},
    {"--lenient", "",
     "send a rows file whose fields are out of their range, each replaced by its default as "
     "the window's import does (default: such a file is refused)",
     Switch<&SendOptions::lenient>},
    {"--rate", "RATE",
     "1M, 800k, 500k, 250k, 125k, 100k, 50k, 20k or 10k, or the same in bit/s (250000) or "
     "kbit/s (250) (default: the settings file's bit rate)",
     [](SendOptions& o, const std::string& v) {
       o.bit_rate = BitRateIndexOfLabel(v);
       return o.bit_rate ? std::string()
                         : "--rate takes 1M, 800k, 500k, 250k, 125k, 100k, 50k, 20k or 10k, in "
                           "bit/s or kbit/s too (250000, 250), not \"" +
                               v + "\"";
     }},
    {"--seconds", "S", "end after S seconds (S may have a fraction)",
     [](SendOptions& o, const std::string& v) {
       o.seconds = PositiveSeconds(v);
       return o.seconds ? std::string()
                        : "--seconds takes a number of seconds above 0, not \"" + v + "\"";
     }},
    {"--allow-failed-writes", "",
     "end with status 0 even when the device refused frames or the bus was error passive or "
     "off; the summary still counts them",
     Switch<&SendOptions::allow_failed_writes>},
    {"--quiet", "", "print no frame lines", Switch<&SendOptions::quiet>},
    {"--replay", "LOG",
     "play a recorded log, a candump log or a Vector ASC file, with its own timing, then end; "
     "rows go out beside it only when --rows names them",
     [](SendOptions& o, const std::string& v) {
       o.replay = v;
       return v.empty() ? std::string("--replay needs a file name") : std::string();
     }},
    {"--speed", "X", "play the log X times as fast, 0.1 to 100 (default: 1)",
     [](SendOptions& o, const std::string& v) {
       const auto speed = Number(v);
       if (!speed || !(*speed >= ReplayOptions::kMinSpeed && *speed <= ReplayOptions::kMaxSpeed)) {
         return "--speed takes a factor from 0.1 to 100, not \"" + v + "\"";
       }
       o.replaying.speed = *speed;
       return std::string();
     }},
    {"--loop", "N",
     "play the log N times, 0 until stopped (default: 1); each round starts one mean recorded "
     "gap after the last frame of the round before",
     [](SendOptions& o, const std::string& v) {
       const auto rounds = Count(v);
       if (!rounds) {
         return "--loop takes a number of rounds, 0 for until stopped, not \"" + v + "\"";
       }
       o.replaying.rounds = *rounds;
       return std::string();
     }},
    {"--from", "IFACE",
     "only the frames recorded on this interface (candump: can0) or channel (ASC: 1)",
     [](SendOptions& o, const std::string& v) {
       o.replaying.channel = v;
       return v.empty() ? std::string("--from needs an interface or channel") : std::string();
     }},
    {"--ids", "LIST", "only these identifiers, hex, single or ranges: 7DF,7E0-7EF",
     [](SendOptions& o, const std::string& v) {
       const auto ids = ParseIdList(v);
       if (!ids) {
         return "--ids takes hex identifiers and ranges such as 7DF,7E0-7EF, not \"" + v + "\"";
       }
       o.replaying.ids = *ids;
       return std::string();
     }},
    {"--version", "", "show the version and end", Switch<&SendOptions::version>},
    {"-h, --help", "", "show this help and end", Switch<&SendOptions::help>},
};

const OptionSpec* FindOption(std::string_view name) {
  if (name == "-h" || name == "--help") name = "-h, --help";
  const auto found = std::find_if(std::begin(kOptions), std::end(kOptions),
                                  [&](const OptionSpec& o) { return o.name == name; });
  return found == std::end(kOptions) ? nullptr : found;
}

// The options that answer alone, wherever they stand: --help, then --version.
bool AnswersAlone(const std::vector<std::string>& arguments, SendOptions& options) {
  for (const auto& argument : arguments) {
    options.help = options.help || argument == "-h" || argument == "--help";
    options.version = options.version || argument == "--version";
  }
  return options.help || options.version;
}

// How a log is played, which only --replay uses.
bool IsReplayOption(const std::string& name) {
  return name == "--speed" || name == "--loop" || name == "--from" || name == "--ids";
}

// Reads the arguments one option at a time; each name once.
class ArgumentReader {
 public:
  explicit ArgumentReader(const std::vector<std::string>& arguments) : arguments_(arguments) {}

  // The first error, or "".
  std::string ReadAll(SendOptions& options) {
    for (k_ = 0; k_ < arguments_.size(); ++k_) {
      if (std::string error = ReadOne(options); !error.empty()) return error;
    }
    const auto besides_list = [](const std::string& name) {
      return name != "--list" && name != "--rate";
    };
    if (options.list && std::any_of(given_.begin(), given_.end(), besides_list)) {
      return "--list takes no other option than --rate";
    }
    if (!options.replay && std::any_of(given_.begin(), given_.end(), IsReplayOption)) {
      return "--speed, --loop, --from and --ids go with --replay";
    }
    return "";
  }

 private:
  std::string ReadOne(SendOptions& options) {
    const std::string& argument = arguments_[k_];
    const auto equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const OptionSpec* option = FindOption(name);
    if (option == nullptr) {
      return argument.rfind('-', 0) == 0 ? "unknown option " + argument
                                         : "unexpected argument \"" + argument + "\"";
    }
    if (!given_.insert(name).second) return name + " is given twice";
    if (option->value.empty()) {
      return equals == std::string::npos ? option->take(options, "") : name + " takes no value";
    }
    if (equals != std::string::npos) return option->take(options, argument.substr(equals + 1));
    if (k_ + 1 >= arguments_.size()) return name + " needs a value";
    return option->take(options, arguments_[++k_]);
  }

  const std::vector<std::string>& arguments_;
  size_t k_ = 0;
  std::set<std::string> given_;
};

}  // namespace

std::span<const OptionSpec> SendOptionTable() {
  return kOptions;
}

ParsedOptions ParseSendOptions(const std::vector<std::string>& arguments) {
  ParsedOptions parsed;
  if (AnswersAlone(arguments, parsed.options)) return parsed;
  parsed.error = ArgumentReader(arguments).ReadAll(parsed.options);
  return parsed;
}

std::optional<std::vector<IdRange>> ParseIdList(std::string_view text) {
  std::vector<IdRange> ranges;
  for (size_t start = 0; start <= text.size();) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string_view item = text.substr(start, comma - start);
    const size_t dash = item.find('-');
    const auto first = HexId(item.substr(0, dash));
    const auto last = dash == std::string_view::npos ? first : HexId(item.substr(dash + 1));
    if (!first || !last || *last < *first) return std::nullopt;
    ranges.push_back({*first, *last});
    start = comma + 1;
  }
  return ranges;
}

std::optional<int32_t> BitRateIndexOfLabel(std::string_view text) {
  std::string wanted = Lower(text);
  if (const auto plain = IndexOfBitsPerSecond(wanted)) return plain;
  if (wanted.ends_with("bps")) wanted.resize(wanted.size() - 3);
  if (wanted.ends_with(' ')) wanted.pop_back();
  for (const BitRate& rate : kBitRates) {
    const std::string label = Lower(rate.label);
    if (label.substr(0, label.find(' ')) == wanted) return rate.index;
  }
  return std::nullopt;
}

void PrintSendHelp(std::ostream& out) {
  out << "Usage: telpod-send [--device N|TEXT] [--rows FILE [--lenient]] [--rules FILE]\n"
         "                   [--rate RATE] [--seconds S] [--allow-failed-writes] [--quiet]\n"
         "       telpod-send --replay LOG [--speed X] [--loop N] [--from IFACE] [--ids LIST]\n"
         "                   [--device N|TEXT] [--rows FILE] [--rate RATE] [--seconds S] ...\n"
         "       telpod-send --list [--rate RATE]\n"
         "\n"
         "Sends TELPOD's periodic message rows from the command line, through the same\n"
         "devices, driver libraries and files as the window, until SIGINT (Ctrl+C),\n"
         "SIGTERM or SIGHUP, or for S seconds, then closes the device. Every frame the\n"
         "device takes is printed on standard output as a line of the candump log format,\n"
         "with the counter and checksum of its row's rules as they went out.\n"
         "\n"
         "Options:\n";
  for (const OptionSpec& option : kOptions) {
    std::string lead = "  " + std::string(option.name);
    if (!option.value.empty()) lead += " " + std::string(option.value);
    PrintHangingParagraph(out, lead, kOptionIndent, option.help);
  }
  out << "\n"
         "Frame lines, extended identifiers with 8 hex digits, standard ones with 3:\n"
         "  (1733480000.123456) canusb-LW000001 7DF#0201\n"
         "The interface names: canusb-<serial number>, ifcan<port>, kvaser<channel>,\n"
         "the kernel's own name for SocketCAN (can0, vcan0, ...), and slcan-<serial\n"
         "number> for a serial-line adapter (slcan-<port> when it has none).\n"
         "Messages, and a summary at the end (frames written, failed writes,\n"
         "seconds, and the bus state when it was not well), go to standard error. A\n"
         "replay adds its own: frames sent, refused and not sent (with why: CAN FD and\n"
         "error frames, unreadable lines, other events, channels and identifiers not\n"
         "chosen, remote frames the device cannot send), recorded and played duration,\n"
         "and how late the frames went out (median, 99th percentile, largest).\n"
         "\n"
         "Settings file (read, never written): "
      << FileSaveSystem::SettingFilePath()
      << "\n"
         "Rules file (read, never written):    "
      << RowRulesFile::Path()
      << "\n"
         "\n"
         "Exit status:\n";
  PrintExitStatuses(out);
}

void PrintSendVersion(std::ostream& out) {
  const ELM327_Info device;
  out << "telpod-send " << InstallVersionText(device.install_version()) << "\n"
      << device.Copy_light() << "\n"
      << device.Homepage_URL() << "\n";
}

}  // namespace telpod
