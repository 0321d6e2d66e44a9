#include "send/connection_status.h"

namespace telpod {

namespace {

const char* BusStateText(BusState state) {
  switch (state) {
    case BusState::ErrorWarning:
      return "エラーワーニング";
    case BusState::ErrorPassive:
      return "エラーパッシブ";
    case BusState::BusOff:
      return "バスオフ";
    case BusState::Normal:
      break;
  }
  return nullptr;
}

}  // namespace

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
  if (failed_writes > 0) notes = "送信エラー " + std::to_string(failed_writes);
  if (const char* text = BusStateText(state)) {
    notes += (notes.empty() ? "" : "、") + std::string(text);
  }
  const std::string running = status_text::kRunning;
  return notes.empty() ? running : running + "（" + notes + "）";
}

}  // namespace telpod
