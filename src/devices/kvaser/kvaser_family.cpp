#include "devices/kvaser/kvaser_family.h"

#include <algorithm>

#include "devices/family_set.h"
#include "devices/kvaser/find_kvaser_channels.h"
#include "devices/kvaser/kvaser_connection.h"
#include "devices/kvaser/kvaser_device_info.h"
#include "platform/driver_folders.h"

namespace telpod {

KvaserFamily::KvaserFamily(FamilySet& set)
    : KvaserFamily(set.device, set.objects.kvCan_u, set.objects.kvCan_d, set.drivers) {}

void KvaserFamily::Reset() {
  kvCan_d_.Param_ALL_Clear();
  kvCan_u_.Param_ALL_Clear();
}

void KvaserFamily::FindDevices(platform::EventPump& pump) {
  if (auto* library = driver()) {
    Find_Kvaser_Channels(device_, kvCan_u_, kvCan_d_, *library, pump);
  }
}

int32_t KvaserFamily::DeviceCount() const {
  return std::clamp(kvCan_d_.Kvaser_FindCount(), 0, CAN_DB_Kvaser::kCapacity);
}

std::string KvaserFamily::EntryText(int32_t n) const {
  return kvCan_d_.Kvaser_DevdName(static_cast<int16_t>(n - 1));
}

SelectedDeviceInfo KvaserFamily::Select(int32_t n) {
  kvCan_d_.set_KvCAN_SelectNo(n);
  auto* library = driver();
  if (library == nullptr) return {0, std::nullopt};
  return Probe_Kvaser_Info(kvCan_u_, kvCan_d_, *library);
}

std::unique_ptr<FamilyConnection> KvaserFamily::Connection() {
  return std::make_unique<KvaserConnection>(driver(), kvCan_u_, kvCan_d_);
}

std::string KvaserFamily::InterfaceName() const {
  const auto selected = static_cast<int16_t>(kvCan_d_.KvCAN_SelectNo() - 1);
  return "kvaser" + std::to_string(kvCan_d_.Kvaser_DevChannel(selected));
}

constinit const FamilyEntry kKvaserFamily{
    .name = "Kvaser",
    .library = DriverFile{platform::kCanlibLibraryFile, &LoadBinding<CanlibDriver>},
    .offers_rate = &KvaserConnection::OffersRate,
    .make = &MakeFamily<KvaserFamily>,
};

}  // namespace telpod
