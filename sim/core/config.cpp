#include "core/config.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "core/entry_points.h"

namespace cansim {

const char* const kDefaultConfig =
    "canusb serial=LWSIM001 version=\"V1.0.2 sim\"\n"
    "ifcan port=1 device=0x12F3 subsystem=0x2094 revision=1 channel=1 physical=1\n"
    "kvaser name=\"Kvaser Leaf Light v2 (channel 0)\" serial=12345 firmware=3.4.0.291 "
    "upc=0x0007330130004321\n"
    "slcan serial=SC01 version=1013\n";

namespace {

struct Statement {
  std::string keyword;
  std::vector<std::string> words;  // bare words after the keyword
  std::map<std::string, std::string> values;
};

class ParseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Splits one line into words; key="quoted value" keeps its blanks, \" and
// \\ escape inside quotes, and # outside quotes starts a comment.
std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false, quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '\\' && i + 1 < line.size()) {
        word.push_back(line[++i]);
      } else if (c == '"') {
        quoted = false;
      } else {
        word.push_back(c);
      }
      continue;
    }
    if (c == '#') break;
    if (c == ' ' || c == '\t' || c == '\r') {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
      continue;
    }
    in_word = true;
    if (c == '"') {
      quoted = true;
    } else {
      word.push_back(c);
    }
  }
  if (quoted) throw ParseError("unterminated quote");
  if (in_word) words.push_back(std::move(word));
  return words;
}

Statement Split(const std::vector<std::string>& words) {
  Statement s;
  s.keyword = words.front();
  for (size_t i = 1; i < words.size(); ++i) {
    const auto eq = words[i].find('=');
    if (eq == std::string::npos) {
      s.words.push_back(words[i]);
    } else {
      s.values[words[i].substr(0, eq)] = words[i].substr(eq + 1);
    }
  }
  return s;
}

// 0x-prefixed hexadecimal or decimal, optionally negative.
int64_t Integer(const std::string& text, const std::string& key) {
  std::string_view v(text);
  bool negative = false;
  if (!v.empty() && (v[0] == '-' || v[0] == '+')) {
    negative = v[0] == '-';
    v.remove_prefix(1);
  }
  int base = 10;
  if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
    base = 16;
    v.remove_prefix(2);
  }
  uint64_t value = 0;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value, base);
  if (v.empty() || ec != std::errc() || end != v.data() + v.size()) {
    throw ParseError(key + ": not a number: " + text);
  }
  return negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
}

// "3.4.0.291" (major.minor.release.build) or one number.
uint64_t Firmware(const std::string& text) {
  if (text.find('.') == std::string::npos) return static_cast<uint64_t>(Integer(text, "firmware"));
  uint64_t value = 0;
  size_t start = 0, parts = 0;
  while (start <= text.size()) {
    const size_t dot = std::min(text.find('.', start), text.size());
    const int64_t part = Integer(text.substr(start, dot - start), "firmware");
    if (part < 0 || part > 0xFFFF) throw ParseError("firmware: part out of range: " + text);
    value = value << 16 | static_cast<uint64_t>(part);
    ++parts;
    start = dot + 1;
  }
  if (parts != 4) throw ParseError("firmware: want major.minor.release.build: " + text);
  return value;
}

// Reads the statement's key=value pairs through `take`, then refuses any
// key nobody asked for.
class Values {
 public:
  explicit Values(const Statement& s) : s_(s) {}
  const std::string* Find(const char* key) {
    used_.insert(key);
    const auto it = s_.values.find(key);
    return it == s_.values.end() ? nullptr : &it->second;
  }
  template <typename T>
  void Int(const char* key, T& out) {
    if (const auto* v = Find(key)) out = static_cast<T>(Integer(*v, key));
  }
  void Text(const char* key, std::string& out) {
    if (const auto* v = Find(key)) out = *v;
  }
  void Fails(const char* key, bool& out) {
    if (const auto* v = Find(key)) {
      if (*v != "fail" && *v != "ok") throw ParseError(std::string(key) + ": want fail or ok");
      out = *v == "fail";
    }
  }
  void Flags(std::initializer_list<std::pair<const char*, bool*>> flags) {
    for (const auto& word : s_.words) {
      bool known = false;
      for (const auto& [name, out] : flags) {
        if (word == name) *out = known = true;
      }
      if (!known) throw ParseError("unknown word: " + word);
    }
  }
  void Finish() const {
    for (const auto& [key, value] : s_.values) {
      if (!used_.count(key)) throw ParseError(s_.keyword + ": unknown key: " + key);
    }
  }

 private:
  const Statement& s_;
  std::set<std::string> used_;
};

// txqueue=N, the key of a lonely bus every device takes (busoff is a word).
void LonelyBusKeys(Values& v, LonelyBusSpec& bus) {
  if (const auto* n = v.Find("txqueue")) {
    bus.txqueue = Integer(*n, "txqueue");
    if (*bus.txqueue < 0) throw ParseError("txqueue: want 0 or more frames");
  }
}

void Adapter(const Statement& s, Config& config) {
  Values v(s);
  AdapterSpec a;
  if (!v.Find("serial")) throw ParseError("canusb: serial= is required");
  v.Text("serial", a.serial);
  v.Text("version", a.version);
  if (const auto* r = v.Find("report")) a.report = static_cast<int32_t>(Integer(*r, "report"));
  v.Fails("open", a.open_fails);
  v.Int("version_result", a.version_result);
  v.Int("close", a.close_result);
  v.Int("write", a.write_result);
  LonelyBusKeys(v, a.bus);
  v.Flags({{"busoff", &a.bus.busoff}});
  v.Finish();
  config.adapters.push_back(a);
}

void Board(const Statement& s, Config& config) {
  Values v(s);
  BoardSpec b;
  if (!v.Find("port")) throw ParseError("ifcan: port= is required");
  v.Int("port", b.port);
  if (b.port < 1 || b.port > 255) throw ParseError("ifcan: port must be 1..255");
  for (const auto& other : config.boards) {
    if (other.port == b.port) throw ParseError("ifcan: port listed twice");
  }
  const char* const info_keys[] = {"struct", "vendor", "device",  "subsystem", "revision",
                                   "board",  "model",  "channel", "physical"};
  for (size_t i = 0; i < b.info.size(); ++i) v.Int(info_keys[i], b.info[i]);
  v.Int("info", b.info_status);
  if (const auto* words = v.Find("config")) {
    size_t n = 0, start = 0;
    while (start <= words->size()) {
      const size_t comma = std::min(words->find(',', start), words->size());
      if (n == b.config.size()) throw ParseError("ifcan: config= takes seven words");
      b.config[n++] = static_cast<uint32_t>(Integer(words->substr(start, comma - start), "config"));
      start = comma + 1;
    }
    if (n != b.config.size()) throw ParseError("ifcan: config= takes seven words");
  }
  v.Int("getconfig", b.getconfig_status);
  v.Int("close", b.close_status);
  v.Int("write", b.write_status);
  v.Fails("open", b.open_fails);
  LonelyBusKeys(v, b.bus);
  v.Flags({{"busoff", &b.bus.busoff}});
  v.Finish();
  config.boards.push_back(b);
}

void Channel(const Statement& s, Config& config) {
  Values v(s);
  ChannelSpec c;
  c.name = "Kvaser Sim (channel " + std::to_string(config.channels.size()) + ")";
  v.Text("name", c.name);
  v.Int("serial", c.serial);
  if (const auto* f = v.Find("firmware")) c.firmware = Firmware(*f);
  v.Int("upc", c.upc);
  v.Int("name_status", c.name_status);
  v.Int("write", c.write_status);
  v.Fails("open", c.open_fails);
  LonelyBusKeys(v, c.bus);
  v.Flags({{"held", &c.held}, {"busoff", &c.bus.busoff}});
  v.Finish();
  config.channels.push_back(c);
}

void SerialAdapter(const Statement& s, Config& config) {
  Values v(s);
  SerialAdapterSpec a;
  v.Text("serial", a.serial);
  v.Text("version", a.version);
  v.Fails("open", a.open_fails);
  v.Fails("write", a.write_fails);
  if (const auto* ack = v.Find("ack")) {
    if (*ack != "z" && *ack != "cr") throw ParseError("ack: want z or cr");
    a.bare_ack = *ack == "cr";
  }
  LonelyBusKeys(v, a.bus);
  v.Flags({{"busoff", &a.bus.busoff}, {"silent", &a.silent}, {"garbage", &a.garbage}});
  v.Finish();
  config.serial_adapters.push_back(a);
}

void Fault(const Statement& s, Config& config) {
  if (s.words.size() != 1) throw ParseError("fault: want one entry point name");
  FaultSpec f;
  f.entry = s.words.front();
  if (!IsKnownEntryPoint(f.entry.c_str()))
    throw ParseError("fault: unknown entry point " + f.entry);
  Statement rest = s;
  rest.words.clear();
  Values v(rest);
  if (!v.Find("result")) throw ParseError("fault: result= is required");
  v.Int("result", f.result);
  if (v.Find("call")) {
    v.Int("call", f.first_call);
    f.count = 1;
  }
  v.Int("count", f.count);
  v.Finish();
  if (f.first_call < 1) throw ParseError("fault: call counts from 1");
  config.faults.push_back(f);
}

void KvaserCount(const Statement& s, Config& config) {
  if (s.words.size() != 1 || !s.values.empty()) throw ParseError("kvaser-count: want one number");
  const int64_t n = Integer(s.words.front(), "kvaser-count");
  if (n < 0 || n > 1000) throw ParseError("kvaser-count: want 0..1000");
  config.kvaser_count = static_cast<int32_t>(n);
}

void SharedBusFolder(const Statement& s, Config& config) {
  if (!s.words.empty()) throw ParseError("shared-bus: want folder=PATH or nothing");
  Values v(s);
  std::string folder;
  v.Text("folder", folder);
  v.Finish();
  config.shared_bus_folder = folder;
}

}  // namespace

bool ParseConfig(std::string_view text, Config& config, std::string& error) {
  Config parsed;
  size_t line_number = 0, start = 0;
  try {
    while (start <= text.size()) {
      const size_t end = std::min(text.find('\n', start), text.size());
      ++line_number;
      const auto words = Words(text.substr(start, end - start));
      start = end + 1;
      if (words.empty()) continue;
      const Statement s = Split(words);
      if (s.keyword == "canusb") {
        Adapter(s, parsed);
      } else if (s.keyword == "ifcan") {
        Board(s, parsed);
      } else if (s.keyword == "kvaser") {
        Channel(s, parsed);
      } else if (s.keyword == "slcan") {
        SerialAdapter(s, parsed);
      } else if (s.keyword == "kvaser-count") {
        KvaserCount(s, parsed);
      } else if (s.keyword == "shared-bus") {
        SharedBusFolder(s, parsed);
      } else if (s.keyword == "fault") {
        Fault(s, parsed);
      } else {
        throw ParseError("unknown statement: " + s.keyword);
      }
    }
  } catch (const ParseError& e) {
    error = "line " + std::to_string(line_number) + ": " + e.what();
    return false;
  }
  config = std::move(parsed);
  return true;
}

Config ConfigAtStart(const char* who) {
  Config config;
  std::string error;
  const char* path = std::getenv("CANSIM_CONFIG");
  if (path == nullptr || *path == '\0') {
    ParseConfig(kDefaultConfig, config, error);
    return config;
  }
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) {
    std::fprintf(stderr, "%s: cannot read CANSIM_CONFIG %s\n", who, path);
  } else if (!ParseConfig(text.str(), config, error)) {
    std::fprintf(stderr, "%s: %s: %s\n", who, path, error.c_str());
  }
  return config;
}

bool IsKnownEntryPoint(const char* name) {
  const std::string_view n(name);
  auto in = [&](const auto& names) {
    for (const char* e : names) {
      if (n == e) return true;
    }
    return false;
  };
  return in(kCanusbEntryPoints) || in(kIfCanEntryPoints) || in(kCanlibEntryPoints);
}

}  // namespace cansim
