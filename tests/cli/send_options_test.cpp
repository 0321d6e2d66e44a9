#include "cli/send_options.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/device_choice.h"
#include "cli/terminal_messages.h"

namespace telpod {
namespace {

using Args = std::vector<std::string>;

TEST(SendOptions, EachOptionInBothSpellings) {
  const ParsedOptions parsed = ParseSendOptions(
      {"--device", "CANUSB LW000001", "--rows=rows.csv", "--rules", "ecu.json", "--rate", "125k",
       "--seconds=2.5", "--quiet", "--lenient", "--allow-failed-writes"});
  ASSERT_EQ(parsed.error, "");
  const SendOptions& o = parsed.options;
  EXPECT_EQ(o.device, "CANUSB LW000001");
  EXPECT_EQ(o.rows, "rows.csv");
  EXPECT_EQ(o.rules, "ecu.json");
  EXPECT_EQ(o.bit_rate, 8);
  EXPECT_EQ(o.seconds, 2.5);
  EXPECT_TRUE(o.quiet && o.lenient && o.allow_failed_writes);
  EXPECT_FALSE(o.list || o.help || o.version);

  const SendOptions none = ParseSendOptions({}).options;
  EXPECT_FALSE(none.device || none.rows || none.rules || none.bit_rate || none.seconds ||
               none.quiet || none.lenient || none.allow_failed_writes);
  EXPECT_TRUE(ParseSendOptions({"--list"}).options.list);
  const ParsedOptions list_at = ParseSendOptions({"--list", "--rate", "125k"});
  EXPECT_EQ(list_at.error, "");
  EXPECT_EQ(list_at.options.bit_rate, 8);
}

// --help and --version answer alone wherever they stand, the help first.
TEST(SendOptions, HelpOrVersionAnywhereAnswersAlone) {
  const std::tuple<Args, bool, bool> cases[] = {
      {{"-h"}, true, false},
      {{"--list", "--help"}, true, false},
      {{"--bogus", "-h"}, true, false},
      {{"--version", "--help"}, true, true},
      {{"--device", "1", "--version", "--device", "2"}, false, true}};
  for (const auto& [args, help, version] : cases) {
    const ParsedOptions parsed = ParseSendOptions(args);
    EXPECT_EQ(parsed.options.help, help) << args.back();
    EXPECT_EQ(parsed.options.version, version) << args.back();
    EXPECT_EQ(parsed.error, "");
  }
}

TEST(SendOptions, UsageErrorsSayWhatIsWrong) {
  std::vector<std::pair<Args, std::string>> cases = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"rows.csv"}, "unexpected argument \"rows.csv\""},
      {{"--device"}, "--device needs a value"},
      {{"--rows", "a.csv", "--seconds"}, "--seconds needs a value"},
      {{"--rows="}, "--rows needs a file name"},
      {{"--rules="}, "--rules needs a file name"},
      {{"--list", "--rules", "ecu.json"}, "--list takes no other option than --rate"},
      {{"--list", "--device", "2"}, "--list takes no other option than --rate"},
      {{"--quiet", "--list", "--rate", "1M"}, "--list takes no other option than --rate"},
      {{"--device", "3", "--device", "1"}, "--device is given twice"},
      {{"--rate=250k", "--rate", "250k"}, "--rate is given twice"},
      {{"--quiet", "--quiet"}, "--quiet is given twice"},
      {{"--lenient=yes"}, "--lenient takes no value"},
  };
  for (const std::string rate : {"300k", "300000", "0", "500 k"}) {
    cases.push_back({{"--rate", rate},
                     "--rate takes 1M, 800k, 500k, 250k, 125k, 100k, 50k, 20k or 10k, in bit/s or "
                     "kbit/s too (250000, 250), not \"" +
                         rate + "\""});
  }
  for (const std::string seconds : {"0", "-1", "5s", "inf", "nan"}) {
    cases.push_back({{"--seconds", seconds},
                     "--seconds takes a number of seconds above 0, not \"" + seconds + "\""});
  }
  for (const auto& [args, error] : cases) {
    EXPECT_EQ(ParseSendOptions(args).error, error) << args.back();
  }
}

TEST(SendOptions, AReplayAndHowToPlayIt) {
  const SendOptions o = ParseSendOptions({"--replay", "drive.asc", "--speed=2.5", "--loop", "0",
                                          "--from", "2", "--ids", "7df,18DAF110"})
                            .options;
  EXPECT_EQ(o.replay, "drive.asc");
  EXPECT_EQ(o.replaying.speed, 2.5);
  EXPECT_EQ(o.replaying.rounds, 0);
  EXPECT_EQ(o.replaying.channel, "2");
  EXPECT_TRUE(o.replaying.ChosenId(0x18DAF110));
  EXPECT_FALSE(o.replaying.ChosenId(0x7E0));

  const std::pair<Args, std::string> errors[] = {
      {{"--replay="}, "--replay needs a file name"},
      {{"--speed", "1"}, "--speed, --loop, --from and --ids go with --replay"},
      {{"--ids", "7DF", "--device", "1"}, "--speed, --loop, --from and --ids go with --replay"},
      {{"--list", "--replay", "a.log"}, "--list takes no other option than --rate"},
      {{"--replay", "a.log", "--from="}, "--from needs an interface or channel"},
  };
  for (const auto& [args, error] : errors) EXPECT_EQ(ParseSendOptions(args).error, error);
  for (const std::string speed : {"0.09", "101", "nan", "fast", "1e3"}) {
    EXPECT_EQ(ParseSendOptions({"--replay", "a.log", "--speed", speed}).error,
              "--speed takes a factor from 0.1 to 100, not \"" + speed + "\"");
  }
  for (const std::string loop : {"-1", "2.5", "", "x"}) {
    EXPECT_EQ(ParseSendOptions({"--replay", "a.log", "--loop", loop}).error,
              "--loop takes a number of rounds, 0 for until stopped, not \"" + loop + "\"");
  }
}

TEST(SendOptions, IdentifierListsOfSinglesAndRanges) {
  using Ranges = std::vector<std::pair<uint32_t, uint32_t>>;
  const std::pair<const char*, Ranges> lists[] = {
      {"7DF", {{0x7DF, 0x7DF}}},
      {"7e0-7EF,18DAF110", {{0x7E0, 0x7EF}, {0x18DAF110, 0x18DAF110}}},
      {"0-1FFFFFFF", {{0, 0x1FFFFFFF}}},
  };
  for (const auto& [text, ranges] : lists) {
    const auto parsed = ParseIdList(text);
    ASSERT_TRUE(parsed) << text;
    Ranges got;
    for (const IdRange& r : *parsed) got.emplace_back(r.first, r.last);
    EXPECT_EQ(got, ranges) << text;
  }
  for (const char* bad : {"", ",", "7DF,", "7EF-7E0", "20000000", "0x7DF", "7DF-", "G", "1--2"}) {
    EXPECT_EQ(ParseIdList(bad), std::nullopt) << bad;
  }
}

TEST(SendOptions, RatesByTheDialogsLabelsOrInBitsOrKilobitsPerSecond) {
  const std::pair<const char*, int32_t> cases[] = {
      {"1M", 0},      {"1m", 0},     {"800k", 1},   {"500k", 2},   {"500K", 2}, {"250k", 3},
      {"100k", 4},    {"50k", 5},    {"20k", 6},    {"10k", 7},    {"125k", 8}, {"125k bps", 8},
      {"500kbps", 2}, {"1M BPS", 0}, {"250000", 3}, {"250", 3},    {"1000", 0}, {"1000000", 0},
      {"10", 7},      {"10000", 7},  {"125", 8},    {"125000", 8}, {"0500", 2},
  };
  for (const auto& [label, index] : cases) EXPECT_EQ(BitRateIndexOfLabel(label), index) << label;
  for (const char* label :
       {"", "bps", "k", "1000k", "300", " 500k", "500 k", "1Mbit", "-500", "500.0", "1"}) {
    EXPECT_EQ(BitRateIndexOfLabel(label), std::nullopt) << label;
  }
}

// Every option of the table is in the help, each with its value word.
TEST(SendOptions, TheHelpListsEveryOptionOfTheTable) {
  std::ostringstream help;
  PrintSendHelp(help);
  for (const OptionSpec& option : SendOptionTable()) {
    const std::string lead = "\n  " + std::string(option.name) +
                             (option.value.empty() ? "" : " " + std::string(option.value));
    EXPECT_NE(help.str().find(lead), std::string::npos) << option.name;
  }
}

TEST(DeviceChoice, DigitsNameAPositionAndTextAnEntry) {
  const std::vector<std::string> entries{"CANUSB LW000001", "Kvaser A", "7", "Kvaser A"};
  const std::pair<std::optional<std::string>, int32_t> found[] = {
      {std::nullopt, 1}, {"1", 1}, {"4", 4}, {"04", 4}, {"Kvaser A", 2}};
  for (const auto& [device, position] : found) {
    EXPECT_EQ(ChosenPosition(device, entries), position) << device.value_or("(none)");
  }
  // Digits are a position, never a text.
  for (const char* device : {"5", "0", "99999999999", "kvaser a", "Kvaser", "", "7"}) {
    EXPECT_EQ(ChosenPosition(device, entries), std::nullopt) << device;
  }
  EXPECT_EQ(ChosenPosition(std::nullopt, {}), std::nullopt);
}

TEST(TerminalMessages, EachLineOfABoxIsALineOfItsOwn) {
  std::ostringstream err;
  TerminalMessages messages(err, "telpod-send");
  messages.Show("first\r\nsecond\r\n\r\nlast", "TELPOD Ver1.11", platform::MessageIcon::Critical);
  messages.Show("", "TELPOD Ver1.11", platform::MessageIcon::None);
  messages.Say("own");
  EXPECT_EQ(err.str(),
            "telpod-send: first\ntelpod-send: second\ntelpod-send: last\ntelpod-send: own\n");
  EXPECT_EQ(messages.Ask("?", "t", platform::MessageIcon::None, {"keep", "lose"}), 0u);
}

}  // namespace
}  // namespace telpod
