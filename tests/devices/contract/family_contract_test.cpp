// What every family does the same way, run over each family's bench: each
// family's test folder instantiates FamilyContract with its own.
#include "devices/contract/family_contract.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "devices/family_registry.h"

namespace telpod::test {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kUnsupportedRate =
    "非対応の通信速度が選択されています。\r\n接続をを終了します。";

TEST_P(FamilyContract, IsFoundAndListsItsDevicesWithTheirInformationLines) {
  EXPECT_EQ(StartUp(Situation::TwoDevices), DriverMaskBit(family));
  EXPECT_EQ(run.entries, expected.entries);
  for (int32_t position = 1; position <= 2; ++position) {
    const auto info = run.Choose(position);
    EXPECT_EQ(run.device.t_select_Vender(), FamilyNumber(family));
    EXPECT_EQ(info.result, 1);
    EXPECT_EQ(info.TB_ODB_Hard_Version, expected.info_lines[position - 1]);
  }
  // Positions outside the list name no family and read no line.
  for (int32_t position : {0, -1, 3}) {
    EXPECT_FALSE(run.Choose(position).TB_ODB_Hard_Version) << position;
    EXPECT_EQ(run.device.t_select_Vender(), 0);
  }
  EXPECT_TRUE(run.messages.shown.empty());
}

// The rates the family declares are the ones its device is opened at; the
// others are refused before any device call, and an index outside the
// table never starts the loop.
TEST_P(FamilyContract, OpensAtEachRateItOffersAndRefusesTheOthers) {
  StartUp(Situation::TwoDevices);
  const auto offered = OfferedBitRates();
  for (int32_t index = -1; index <= 9; ++index) {
    SCOPED_TRACE(index);
    const size_t calls = bench->Calls().size();
    run.Connect(index);
    EXPECT_EQ(run.RxFlag, 0);
    if (index < 0 || index > 8) {
      EXPECT_FALSE(run.loop_started);
      EXPECT_EQ(run.messages.shown.size(), 1u);
      continue;
    }
    const bool offers = offered[static_cast<size_t>(index)].SupportedBy(family);
    EXPECT_EQ(offers, !expected.rates[static_cast<size_t>(index)].empty());
    if (offers) {
      EXPECT_TRUE(run.loop_started);
      EXPECT_TRUE(run.messages.shown.empty());
      EXPECT_EQ(bench->RateOnDevice(), expected.rates[static_cast<size_t>(index)]);
    } else {
      ASSERT_EQ(run.messages.shown.size(), 1u);
      EXPECT_EQ(run.messages.shown[0].text, kUnsupportedRate);
      EXPECT_EQ(bench->Calls().size(), calls);
    }
  }
}

TEST_P(FamilyContract, WritesElevenAndTwentyNineBitFramesThenClosesInItsOrder) {
  StartUp(Situation::TwoDevices);
  EXPECT_EQ(run.Connect(), "");
  EXPECT_EQ(bench->BusFrames(), (Lines{"7DF#111213", "18DAF110#A1A2A3A4A5A6A7A8"}));
  EXPECT_EQ(run.final_status, "通信中");
  const Lines journal = run.Journal();
  const auto closing = std::find(journal.begin(), journal.end(), "status:終了処理中");
  ASSERT_NE(closing, journal.end());
  EXPECT_EQ(Lines(closing + 1, journal.end()), expected.close_calls);
}

// Every write fails; the status counts them and names the state the
// family's library reports, if it reports one.
TEST_P(FamilyContract, CountsRefusedWritesAndNamesTheBusState) {
  const std::pair<Situation, const char*> situations[] = {
      {Situation::RefusedWrites, ""},
      {Situation::ErrorPassive, "、エラーパッシブ"},
      {Situation::BusOff, "、バスオフ"}};
  for (const auto& [situation, state] : situations) {
    StartUp(situation);
    run.Connect();
    EXPECT_TRUE(bench->BusFrames().empty());
    EXPECT_EQ(run.final_status,
              "通信中（送信エラー 2" + std::string(expected.reports_bus_state ? state : "") + "）");
  }
}

// A short log replayed on its own: the frames reach the bus in the log's
// order, each written no earlier than its recorded offset from the
// replay's start and within a few passes of it. A family whose record has
// no remote flag passes the remote frame over and counts it.
TEST_P(FamilyContract, ReplaysALogInItsOrderAtItsOffsets) {
  StartUp(Situation::TwoDevices);
  const ReplaySummary summary = run.Replay(
      "(100.000000) can0 7DF#0201\n(100.004000) can0 18DAF110#A1A2A3A4A5A6A7A8\n"
      "(100.004000) can0 123#R4\n(100.010500) can0 000#\n(100.025000) can0 7E8#0641\n");
  std::vector<std::pair<std::string, double>> frames = {{"7DF#0201", 0},
                                                        {"18DAF110#A1A2A3A4A5A6A7A8", 4},
                                                        {"123#R4", 4},
                                                        {"000#", 10.5},
                                                        {"7E8#0641", 25}};
  if (!expected.sends_remote_frames) frames.erase(frames.begin() + 2);
  Lines texts;
  for (const auto& [text, offset] : frames) texts.push_back(text);
  EXPECT_EQ(bench->BusFrames(), texts);
  ASSERT_EQ(run.written.size(), frames.size());
  for (size_t k = 0; k < frames.size(); ++k) {
    const double late = run.written[k].first - (summary.start_ms + frames[k].second);
    EXPECT_GE(late, 0.0) << k;
    EXPECT_LT(late, 0.5) << k;
  }
  EXPECT_EQ(summary.sent, static_cast<int64_t>(frames.size()));
  EXPECT_EQ(summary.frames.remote, expected.sends_remote_frames ? 0 : 1);
  EXPECT_EQ(run.RxFlag, 0);
}

}  // namespace
}  // namespace telpod::test
