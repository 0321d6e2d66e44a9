#include "guest/recording_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "guest/guest_rows.h"

namespace telpod::guest {
namespace {

// A recording of `run_ms` as a sound connection makes it: every periodic row
// at exactly its period from 0, every one-shot at its press.
std::vector<std::string> SoundRecording(double run_ms) {
  std::vector<std::pair<double, std::string>> frames;
  for (const GuestRow& r : GuestRows()) {
    if (!r.reaches_bus) continue;
    char text[64];
    std::snprintf(text, sizeof text, r.extended ? "%08X#" : "%03X#", static_cast<unsigned>(r.id));
    std::string frame = text;
    for (int n = 0; n < r.dlc; ++n) {
      std::snprintf(text, sizeof text, "%02X", r.data[static_cast<size_t>(n)]);
      frame += text;
    }
    if (r.period_ms > 0) {
      for (double t = 0; t <= run_ms; t += r.period_ms) frames.push_back({t, frame});
    }
    for (double t : r.one_shot_at) frames.push_back({t, frame});
  }
  std::vector<std::string> lines;
  for (const auto& [t, frame] : frames) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "(%.6f) vcan0 ", 1700000000.0 + t / 1000.0);
    lines.push_back(stamp + frame);
  }
  return lines;
}

std::vector<std::string> Faults(const std::vector<std::string>& lines) {
  std::ostringstream report;
  return CheckRecording(lines, 4000, 10.0, report);
}

TEST(RecordingCheck, SoundRecordingPassesAndEmptyOneFails) {
  EXPECT_EQ(Faults(SoundRecording(4000)), std::vector<std::string>{});
  EXPECT_FALSE(Faults({}).empty());
}

TEST(RecordingCheck, WrongFramesAreFaults) {
  for (const std::string bad : {
           "(1700000000.000000) vcan0 123#11223344556677",         // length
           "(1700000000.000000) vcan0 123#1122334455667789",       // data
           "(1700000000.000000) vcan0 00000123#1122334455667788",  // format
           "(1700000000.000000) vcan0 000#4444444444444444",       // 0x800 cut down
           "(1700000000.000000) vcan0 123#R",                      // remote frame
           "garbage",
       }) {
    auto lines = SoundRecording(4000);
    lines.push_back(bad);
    EXPECT_FALSE(Faults(lines).empty()) << bad;
  }
}

TEST(RecordingCheck, EarlyOrExtraPeriodicFramesAreFaults) {
  auto early = SoundRecording(4000);
  ASSERT_EQ(early[1], "(1700000000.100000) vcan0 123#1122334455667788");
  early[1] = "(1700000000.050000) vcan0 123#1122334455667788";  // half a period after the first
  EXPECT_FALSE(Faults(early).empty());
  std::ostringstream report;
  EXPECT_TRUE(CheckRecording(early, 4000, std::nullopt, report).empty());  // frames only

  EXPECT_FALSE(Faults(SoundRecording(8000)).empty());  // twice as many as 4 s allow
}

TEST(RecordingCheck, ParsesCandumpLines) {
  const auto f = ParseCandumpLine("(1733480000.123456) can1 1ABCDEF0#A1A2A3");
  ASSERT_TRUE(f);
  EXPECT_TRUE(f->extended);
  EXPECT_EQ(f->id, 0x1ABCDEF0u);
  EXPECT_EQ(f->data, (std::vector<uint8_t>{0xA1, 0xA2, 0xA3}));
  EXPECT_NEAR(f->time_ms, 1733480000123.456, 0.01);
  EXPECT_FALSE(ParseCandumpLine("(1733480000.123456) can1 12#00"));
  EXPECT_FALSE(ParseCandumpLine("(1733480000.123456) can1 123##0011"));
}

}  // namespace
}  // namespace telpod::guest
