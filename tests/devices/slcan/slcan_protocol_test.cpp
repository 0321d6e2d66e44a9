#include "devices/slcan/slcan_protocol.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "model/bit_rate_table.h"

namespace telpod::slcan {
namespace {

CanFrame Frame(uint32_t id, bool extended, bool remote, uint8_t dlc) {
  CanFrame frame{id, extended, remote, dlc, {}};
  for (size_t i = 0; i < frame.data.size(); ++i) frame.data[i] = static_cast<uint8_t>(0xA1 + i);
  return frame;
}

TEST(SlcanProtocolTest, EveryRateOfTheTableHasItsCommand) {
  std::vector<std::string> commands;
  for (const BitRate& rate : kBitRates)
    commands.push_back(RateCommand(rate.bits_per_second).value());
  // Index 8 is 125k.
  EXPECT_EQ(commands, (std::vector<std::string>{"S8\r", "S7\r", "S6\r", "S5\r", "S3\r", "S2\r",
                                                "S1\r", "S0\r", "S4\r"}));
  for (int32_t other : {0, 83'300, 750'000, 2'000'000}) EXPECT_FALSE(RateCommand(other)) << other;
}

TEST(SlcanProtocolTest, FramesBecomeCommandsOrNothingWhenTheyDoNotFit) {
  const std::pair<CanFrame, std::optional<std::string>> cases[] = {
      {Frame(0x7DF, false, false, 3), "t7DF3A1A2A3\r"},
      {Frame(0x18DAF110, true, false, 8), "T18DAF1108A1A2A3A4A5A6A7A8\r"},
      {Frame(0x001, false, false, 0), "t0010\r"},
      {Frame(0x7FF, false, true, 4), "r7FF4\r"},
      {Frame(0x1FFFFFFF, true, true, 0), "R1FFFFFFF0\r"},
      {Frame(0x5, true, false, 1), "T000000051A1\r"},
      {Frame(0x800, false, false, 1), std::nullopt},
      {Frame(0x20000000, true, false, 1), std::nullopt},
      {Frame(0x123, false, false, 9), std::nullopt},
      {Frame(0x123, false, true, 15), std::nullopt},
  };
  for (const auto& [frame, command] : cases) EXPECT_EQ(FrameCommand(frame), command) << frame.id;
}

// The bytes an adapter sends, cut into pieces anywhere: answers, frames it
// received from the bus, a reply ended by CR LF, noise.
TEST(SlcanProtocolTest, RepliesAreCutOutOfTheStreamWhereverItBreaks) {
  const std::string stream =
      "\rz\rZ\r\aV1013\rNA1B2\rt1230\rF26\r\nFA6\rT18DAF1108A1A2A3A4A5A6A7A8\rF2\rFxx\rN\r"
      "\xfe#?!~\r" +
      std::string(200, '#') + "\r";
  using K = Reply::Kind;
  const std::vector<std::tuple<K, std::string, int>> expected{
      {K::Ok, "", 0},          {K::Ok, "", 0},
      {K::Ok, "", 0},          {K::Error, "", 0},
      {K::Version, "1013", 0}, {K::Serial, "A1B2", 0},
      {K::Frame, "t1230", 0},  {K::Status, "", 0x26},
      {K::Status, "", 0xA6},   {K::Frame, "T18DAF1108A1A2A3A4A5A6A7A8", 0},
      {K::Unknown, "F2", 0},   {K::Unknown, "Fxx", 0},
      {K::Unknown, "N", 0},    {K::Unknown, "\xfe#?!~", 0},
  };
  for (size_t piece : {size_t{1}, size_t{7}, stream.size()}) {
    SCOPED_TRACE(piece);
    ReplyReader reader;
    std::vector<std::tuple<K, std::string, int>> replies;
    for (size_t at = 0; at < stream.size(); at += piece) {
      reader.Feed(std::string_view(stream).substr(at, piece));
      while (const auto reply = reader.Next()) {
        replies.emplace_back(reply->kind, reply->text, reply->flags);
      }
    }
    // Noise longer than any reply is dropped as it comes, as far as it has
    // come; the rest ends as one unknown line.
    ASSERT_EQ(replies.size(), expected.size() + 1);
    EXPECT_EQ(std::get<0>(replies.back()), K::Unknown);
    EXPECT_LE(std::get<1>(replies.back()).size(), piece == 1 ? 64u : 200u);
    replies.pop_back();
    EXPECT_EQ(replies, expected);
  }
}

TEST(SlcanProtocolTest, StatusFlagsTellTheGravestState) {
  const std::pair<uint8_t, BusState> cases[] = {
      {0x00, BusState::Normal},       {0x01, BusState::Normal},  // receive FIFO full
      {0x02, BusState::Normal},       {0x08, BusState::Normal},  // transmit FIFO full, overrun
      {0x04, BusState::ErrorWarning}, {0x26, BusState::ErrorPassive},
      {0xA6, BusState::BusOff},       {0x80, BusState::BusOff},
  };
  for (const auto& [flags, state] : cases) EXPECT_EQ(BusStateOfFlags(flags), state) << +flags;
}

TEST(SlcanProtocolTest, VersionDigitsReadAsHardwareAndSoftware) {
  EXPECT_EQ(VersionText("1013"), "HW 1.0 SW 1.3");
  EXPECT_EQ(VersionText("0100"), "HW 0.1 SW 0.0");
  EXPECT_EQ(VersionText("A1B2"), "A1B2");
  EXPECT_EQ(VersionText("101"), "101");
}

}  // namespace
}  // namespace telpod::slcan
