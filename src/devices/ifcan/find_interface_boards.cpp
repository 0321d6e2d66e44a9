#include "devices/ifcan/find_interface_boards.h"

#include <algorithm>

namespace telpod {

void Find_Interface_Boards(ELM327_Info& /*device*/, InterfaceCAN& IfCan_u,
                           CAN_DB_Interface& IfCan_d, IfCanDriver& driver,
                           platform::EventPump& /*pump*/) {
  try {
    for (int32_t port = ifcan_abi::kFirstPort; port <= ifcan_abi::kLastPort; ++port) {
      const int32_t handle = driver.OpenPort(port);
      // Entries live at 1..255 of the catalogue's arrays; a board beyond
      // them (only with a reduced capacity) is not listed.
      if (handle != ifcan_abi::kNoHandle &&
          IfCan_d.Interface_CAN_FindCount() <
              std::min(IfCan_d.Interface_CAN_FindCount_MAX(), CAN_DB_Interface::kCapacity)) {
        const auto m = static_cast<int16_t>(IfCan_d.Interface_CAN_FindCount() + 1);
        IfCan_d.set_Interface_CAN_FindCount(m);
        IfCan_d.set_Interface_CAN_FindNo(m, port);
        std::array<uint32_t, ifcan_abi::kPortInformationWords> words{};
        if (driver.GetPortInformation(handle, words) ==
            static_cast<uint32_t>(IfCan_u.IFCAN_ERROR_SUCCESS())) {
          IfCan_d.StoreInformation(m, words);
        }
      }
      driver.CanClosePort(handle);
    }
  } catch (...) {
    // What was found so far stays in the catalogue.
  }
}

}  // namespace telpod
