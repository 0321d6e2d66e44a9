#include "devices/canusb/canusb.h"

namespace telpod {

void CANUSB::Param_ALL_Clear() {
#define TELPOD_CANUSB_RESET(name, value) set_##name(value);
  TELPOD_CANUSB_BITRATES(TELPOD_CANUSB_RESET)
  TELPOD_CANUSB_CONSTANTS(TELPOD_CANUSB_RESET)
#undef TELPOD_CANUSB_RESET
}

}  // namespace telpod
