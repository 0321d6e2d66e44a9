#include "devices/kvaser/find_kvaser_channels.h"

#include <algorithm>

namespace telpod {

namespace {

void ListChannels(KvaserCAN& kvCan_u, CAN_DB_Kvaser& kvCan_d, CanlibDriver& driver,
                  platform::EventPump& pump) {
  driver.canInitializeLibrary();
  pump.DoEvents();
  int count = 0;
  driver.canGetNumberOfChannels(&count);
  // The arrays hold 31 entries; a larger capacity setting stops there.
  const int32_t examined = std::min({static_cast<int32_t>(count), kvCan_d.Kvaser_FindCount_MAX(),
                                     static_cast<int32_t>(CAN_DB_Kvaser::kSlots)});
  for (int ch = 0; ch < examined; ++ch) {
    const canHandle handle = driver.canOpenChannel(ch, kvCan_u.canOPEN_REQUIRE_INIT_ACCESS());
    if (handle < 0) continue;
    const auto m = static_cast<int16_t>(kvCan_d.Kvaser_FindCount());
    kvCan_d.set_Kvaser_DevHandle(m, handle);
    kvCan_d.set_Kvaser_DevChannel(m, ch);
    std::string name;
    if (driver.ChannelName(ch, name) >= 0 && !name.empty()) kvCan_d.set_Kvaser_DevdName(m, name);
    pump.DoEvents();
    kvCan_d.set_Kvaser_FindCount(m + 1);
  }
}

void CloseChannels(const CAN_DB_Kvaser& kvCan_d, CanlibDriver& driver) {
  for (int16_t j = 0; j < kvCan_d.Kvaser_FindCount(); ++j) {
    driver.canBusOff(kvCan_d.Kvaser_DevHandle(j));
    driver.canClose(kvCan_d.Kvaser_DevHandle(j));
  }
}

}  // namespace

void Find_Kvaser_Channels(ELM327_Info& /*device*/, KvaserCAN& kvCan_u, CAN_DB_Kvaser& kvCan_d,
                          CanlibDriver& driver, platform::EventPump& pump) {
  try {
    ListChannels(kvCan_u, kvCan_d, driver, pump);
  } catch (...) {
    // An event handler failed; the channels found so far stay listed.
  }
  try {
    CloseChannels(kvCan_d, driver);
  } catch (...) {
  }
}

}  // namespace telpod
