#include "send/replay_summary_text.h"

#include <charconv>

namespace telpod {

namespace {

constexpr double kMsPerSecond = 1000.0;

std::string Skipped(const ReplaySummary& s) {
  std::vector<CountedReason> reasons = SkippedLineReasons(s.lines);
  reasons.insert(
      reasons.end(),
      {{TELPOD_TEXT("Replay", "他のチャネルのフレーム %1"), s.frames.other_channel},
       {TELPOD_TEXT("Replay", "選ばれていない ID のフレーム %1"), s.frames.other_id},
       {TELPOD_TEXT("Replay", "この機器が送れないリモートフレーム %1"), s.frames.remote}});
  return CountsText(reasons);
}

}  // namespace

std::string ThreeDecimals(double value) {
  char text[32];
  const auto [end, error] =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
  return error == std::errc() ? std::string(text, end) : std::string("-");
}

std::vector<std::string> ReplaySummaryLines(const ReplaySummary& s) {
  using platform::Tr;
  std::vector<std::string> lines;
  lines.push_back(Tr(TELPOD_TEXT("Replay", "送信 %1 フレーム、拒否 %2 フレーム"),
                     {std::to_string(s.sent), std::to_string(s.refused)}));
  const std::string skipped = Skipped(s);
  if (!skipped.empty())
    lines.push_back(Tr(TELPOD_TEXT("Replay", "送らなかったもの：%1"), {skipped}));
  lines.push_back(
      Tr(TELPOD_TEXT("Replay", "記録の長さ %1 秒、再生の長さ %2 秒"),
         {ThreeDecimals(s.recorded_ms / kMsPerSecond), ThreeDecimals(s.played_ms / kMsPerSecond)}));
  if (s.rounds > 1) lines.push_back(Tr(TELPOD_TEXT("Replay", "%1 周"), {std::to_string(s.rounds)}));
  lines.push_back(
      Tr(TELPOD_TEXT("Replay", "遅れ：中央値 %1 ms、99 パーセンタイル %2 ms、最大 %3 ms"),
         {ThreeDecimals(s.lateness_p50_ms), ThreeDecimals(s.lateness_p99_ms),
          ThreeDecimals(s.lateness_max_ms)}));
  if (s.stopped) lines.push_back(Tr(TELPOD_TEXT("Replay", "再生は途中で止められました。")));
  return lines;
}

}  // namespace telpod
