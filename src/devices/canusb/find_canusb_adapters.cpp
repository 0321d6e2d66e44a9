#include "devices/canusb/find_canusb_adapters.h"

#include <algorithm>

namespace telpod {

namespace {

constexpr size_t kMinSerialLength = 7;

bool IsAdapter(int16_t result, const std::string& serial) {
  return result > 0 && serial.size() >= kMinSerialLength;
}

}  // namespace

void Find_CANUSB_Adapters(ELM327_Info& /*device*/, CAN_DB& CAN_d, CanusbDriver& driver,
                          platform::EventPump& pump) {
  try {
    std::string serial;
    const int16_t reported = driver.GetFirstAdapter(serial);
    if (!IsAdapter(reported, serial)) return;
    CAN_d.set_CAN_USB_FindCount(1);
    CAN_d.set_CAN_USB_FindSerialNo(1, serial);
    // The first report counts the adapters: a library that starts over
    // after the last one must not list them again. The serial array has
    // one slot more than its capacity (index 0 unused), so a larger
    // capacity setting still stops at the array's end.
    const int32_t last =
        std::min<int32_t>({reported, CAN_d.CAN_USB_FindCount_MAX(), CAN_DB::kSerialSlots - 1});
    while (CAN_d.CAN_USB_FindCount() < last) {
      pump.DoEvents();
      if (!IsAdapter(driver.GetNextAdapter(serial), serial)) return;
      const int32_t count = CAN_d.CAN_USB_FindCount() + 1;
      CAN_d.set_CAN_USB_FindCount(count);
      CAN_d.set_CAN_USB_FindSerialNo(static_cast<int16_t>(count), serial);
    }
  } catch (...) {
    // What was found so far stays listed; start-up goes on.
  }
}

}  // namespace telpod
