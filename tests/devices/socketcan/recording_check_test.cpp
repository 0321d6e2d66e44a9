#include "guest/recording_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "model/row_fields.h"

namespace telpod::guest {
namespace {

// A recording of `run_ms` as a sound connection makes it: every periodic row
// at exactly its period from 0, every one-shot at its press.
std::vector<std::string> SoundRecording(double run_ms) {
  std::vector<std::string> lines;
  for (const GuestRow& r : GuestRows()) {
    if (!r.reaches_bus) continue;
    std::vector<double> times = r.one_shot_at;
    for (double t = 0; r.period_ms > 0 && t <= run_ms; t += r.period_ms) times.push_back(t);
    for (double t : times) {
      char head[64];
      std::snprintf(head, sizeof head, r.extended ? "(%.6f) vcan0 %08X#" : "(%.6f) vcan0 %03X#",
                    1700000000.0 + t / 1000.0, static_cast<unsigned>(r.id));
      std::string line = head;
      for (int n = 0; n < r.dlc; ++n) line += FormatByteHex(r.data[static_cast<size_t>(n)]);
      lines.push_back(line);
    }
  }
  return lines;
}

size_t Faults(const std::vector<std::string>& lines, std::optional<double> tolerance = 10.0) {
  std::ostringstream report;
  return CheckRecording(lines, 4000, tolerance, report).size();
}

TEST(RecordingCheck, PassesASoundRecordingAndFaultsEveryDeparture) {
  EXPECT_EQ(Faults(SoundRecording(4000)), 0u);
  EXPECT_NE(Faults({}), 0u);
  EXPECT_NE(Faults(SoundRecording(8000)), 0u);  // twice as many as 4 s allow

  auto early = SoundRecording(4000);
  ASSERT_EQ(early[1], "(1700000000.100000) vcan0 123#1122334455667788");
  early[1] = "(1700000000.050000) vcan0 123#1122334455667788";  // half a period after the first
  EXPECT_NE(Faults(early), 0u);
  EXPECT_EQ(Faults(early, std::nullopt), 0u);  // frames only

  // Wrong length, data or format, 0x800 cut down, nine bytes, a remote frame,
  // CAN FD, a short identifier, no frame at all.
  for (const std::string bad :
       {"123#11223344556677", "123#1122334455667789", "00000123#1122334455667788",
        "000#4444444444444444", "456#666666666666666666", "123#R", "123##01122", "12#00",
        "garbage"}) {
    auto lines = SoundRecording(4000);
    lines.push_back("(1700000000.000000) vcan0 " + bad);
    EXPECT_NE(Faults(lines), 0u) << bad;
  }
}

}  // namespace
}  // namespace telpod::guest
