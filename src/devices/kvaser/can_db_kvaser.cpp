#include "devices/kvaser/can_db_kvaser.h"

namespace telpod {

void CAN_DB_Kvaser::Param_ALL_Clear() {
  constexpr int32_t last = kSlots - 1;
  set_Kvaser_FindCount(0);
  set_Kvaser_FindCount_MAX(kCapacity);
  set_KvCAN_SelectNo(0);
  set_KvCAN_Handle("0");
  Arayy_ALL_Clear_zero_long(last, 0, Kvaser_DevHandle_);
  Arayy_ALL_Clear_zero_long(last, 0, Kvaser_DevChannel_);
  Arayy_ALL_Clear_zero_string(last, "", Kvaser_DevdName_);
}

}  // namespace telpod
