#include "devices/ifcan/can_db_interface.h"

namespace telpod {

void CAN_DB_Interface::Param_ALL_Clear() {
  constexpr int32_t last = kSlots - 1;
  set_Interface_CAN_FindCount(0);
  set_Interface_CAN_FindCount_MAX(kCapacity);
  set_Interface_CAN_SelectNo(0);
  set_Interface_CAN_Handle("0");
  Arayy_ALL_Clear_zero_long(last, 0, Interface_CAN_FindNo_);
  Arayy_ALL_Clear_zero_long(last, 0, IfCAN_info_ulStructLength_);
  Arayy_ALL_Clear_zero_long(last, 0, IfCAN_info_ulVendorID_);
  Arayy_ALL_Clear_zero_long(last, 0, IfCAN_info_ulDeviceID_);
  Arayy_ALL_Clear_zero_long(last, 0, IfCAN_info_ulSubsystemID_);
  Arayy_ALL_Clear_zero_long(last, 0, IfCAN_info_ulRevisionID_);
  Arayy_ALL_Clear_zero_long(last, 0, IfCAN_info_ulBoardID_);
  Arayy_ALL_Clear_zero_long(last, 0, IfCAN_info_ulModelNumber_);
  Arayy_ALL_Clear_zero_long(last, 0, IfCAN_info_ulChannelNumber_);
  Arayy_ALL_Clear_zero_long(last, 0, IfCAN_info_ulPhysicalLayer_);
}

void CAN_DB_Interface::StoreInformation(int16_t i, const std::array<uint32_t, 9>& words) {
  auto word = [&](size_t n) { return static_cast<int32_t>(words[n]); };
  set_IfCAN_info_ulStructLength(i, word(0));
  set_IfCAN_info_ulVendorID(i, word(1));
  set_IfCAN_info_ulDeviceID(i, word(2));
  set_IfCAN_info_ulSubsystemID(i, word(3));
  set_IfCAN_info_ulRevisionID(i, word(4));
  set_IfCAN_info_ulBoardID(i, word(5));
  set_IfCAN_info_ulModelNumber(i, word(6));
  set_IfCAN_info_ulChannelNumber(i, word(7));
  set_IfCAN_info_ulPhysicalLayer(i, word(8));
}

}  // namespace telpod
