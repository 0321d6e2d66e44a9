#include "model/recorded_frame.h"

namespace telpod {

namespace {
constexpr platform::SourceText kSeparator = TELPOD_TEXT("RecordedLog", "、");
}  // namespace

std::string CountsText(const std::vector<CountedReason>& reasons) {
  std::string text;
  for (const CountedReason& reason : reasons) {
    if (reason.count == 0) continue;
    if (!text.empty()) text += platform::Tr(kSeparator);
    text += platform::Tr(reason.text, {std::to_string(reason.count)});
  }
  return text;
}

std::vector<CountedReason> SkippedLineReasons(const SkippedLines& skipped) {
  return {
      {TELPOD_TEXT("RecordedLog", "CAN FD フレーム %1"), skipped.fd},
      {TELPOD_TEXT("RecordedLog", "エラーフレーム %1"), skipped.error},
      {TELPOD_TEXT("RecordedLog", "読めない行 %1"), skipped.unreadable},
      {TELPOD_TEXT("RecordedLog", "その他のイベント %1"), skipped.other},
  };
}

}  // namespace telpod
