#include "devices/ifcan/interface_can.h"

namespace telpod {

void InterfaceCAN::Param_ALL_Clear() {
#define TELPOD_IFCAN_RESET_STATUS(name, value, text) set_##name(static_cast<int32_t>(value));
  TELPOD_IFCAN_STATUS_CODES(TELPOD_IFCAN_RESET_STATUS)
#undef TELPOD_IFCAN_RESET_STATUS
#define TELPOD_IFCAN_RESET(name, value) set_##name(value);
  TELPOD_IFCAN_CONSTANTS(TELPOD_IFCAN_RESET)
#undef TELPOD_IFCAN_RESET
}

std::string InterfaceCAN::Get_Status_Message(int32_t status) const {
  switch (static_cast<uint32_t>(status)) {
#define TELPOD_IFCAN_STATUS_TEXT(name, value, text) \
  case value:                                       \
    return text;
    TELPOD_IFCAN_STATUS_CODES(TELPOD_IFCAN_STATUS_TEXT)
#undef TELPOD_IFCAN_STATUS_TEXT
  }
  return "";
}

}  // namespace telpod
