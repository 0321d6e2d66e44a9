#include "devices/kvaser/kvaser_can.h"

namespace telpod {

void KvaserCAN::Param_ALL_Clear() {
#define TELPOD_CANLIB_RESET(name, value) set_##name(value);
  TELPOD_CANLIB_CONSTANTS(TELPOD_CANLIB_RESET)
#undef TELPOD_CANLIB_RESET
}

}  // namespace telpod
