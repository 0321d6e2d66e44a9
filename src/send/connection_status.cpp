#include "send/connection_status.h"

#include <optional>

namespace telpod {

std::optional<platform::SourceText> BusStateText(BusState state) {
  switch (state) {
    case BusState::ErrorWarning:
      return TELPOD_TEXT("Connection", "エラーワーニング");
    case BusState::ErrorPassive:
      return TELPOD_TEXT("Connection", "エラーパッシブ");
    case BusState::BusOff:
      return TELPOD_TEXT("Connection", "バスオフ");
    case BusState::Normal:
      break;
  }
  return std::nullopt;
}

BusState BusStateOf(unsigned long status, const BusStateBits& bits) {
  if (status & bits.bus_off) return BusState::BusOff;
  if (status & bits.error_passive) return BusState::ErrorPassive;
  if (status & bits.error_warning) return BusState::ErrorWarning;
  return BusState::Normal;
}

std::string LiveConnection::StatusText() {
  return RunningStatusText(FailedWrites(), ReadBusState());
}

std::string RunningStatusText(int64_t failed_writes, BusState state) {
  std::string notes;
  if (failed_writes > 0) {
    notes =
        platform::Tr(TELPOD_TEXT("Connection", "送信エラー %1"), {std::to_string(failed_writes)});
  }
  if (const auto text = BusStateText(state)) {
    if (!notes.empty()) notes += platform::Tr(TELPOD_TEXT("Connection", "、"));
    notes += platform::Tr(*text);
  }
  const std::string running = platform::Tr(status_text::kRunning);
  if (notes.empty()) return running;
  return platform::Tr(TELPOD_TEXT("Connection", "%1（%2）"), {running, notes});
}

}  // namespace telpod
