#pragma once

#include <string>
#include <vector>

#include "platform/translation.h"
#include "send/replay_schedule.h"

namespace telpod {

namespace replay_text {
inline constexpr platform::SourceText kTitle = TELPOD_TEXT("Replay", "ログの再生");
}  // namespace replay_text

// How a replay went, line by line in the user's language: the frames sent
// and refused, what was skipped and why, the recorded and played
// durations, the lateness (median, 99th percentile, largest), and whether
// it was stopped before its end.
std::vector<std::string> ReplaySummaryLines(const ReplaySummary& summary);

// Milliseconds as seconds or milliseconds with three decimals, always with
// a point: "60.000", "0.012".
std::string ThreeDecimals(double value);

}  // namespace telpod
