#include "model/can_senddb.h"

namespace telpod {

namespace {
constexpr int16_t kLastRow = CAN_SendDB::kRows - 1;
}

void CAN_SendDB::Param_ALL_Clear() {
  CAN_Array_MAX_ = kLastRow;
  Arayy_ALL_Clear_zero_long(kLastRow, 0, SendCycleOperation_);
  Arayy_ALL_Clear_zero_byte(kLastRow, 0, Send29_);
  Arayy_ALL_Clear_zero_double(kLastRow, 100.0, SendCycleTime_);
  Arayy_ALL_Clear_zero_long(kLastRow, 1, ID_);
  Arayy_ALL_Clear_zero_byte(kLastRow, 8, DLC_);
  for (auto& column : Data_) Arayy_ALL_Clear_zero_byte(kLastRow, 0, column);
  Timer_Clear();
}

void CAN_SendDB::Timer_Clear() {
  Arayy_ALL_Clear_zero_long(kLastRow, 0, SendOperation_);
  SendTime_ = SendCycleTime_;
}

std::array<uint8_t, CAN_SendDB::kDataBytes> CAN_SendDB::DataBytes(int16_t i) const {
  std::array<uint8_t, kDataBytes> bytes{};
  for (int n = 1; n <= kDataBytes; ++n) bytes[static_cast<size_t>(n - 1)] = CAN_Data(n, i);
  return bytes;
}

}  // namespace telpod
