#include "devices/canusb/canusb_family.h"

#include <algorithm>

#include "devices/canusb/canusb_connection.h"
#include "devices/canusb/canusb_version_probe.h"
#include "devices/canusb/find_canusb_adapters.h"
#include "devices/family_set.h"
#include "platform/driver_folders.h"

namespace telpod {

CanusbFamily::CanusbFamily(FamilySet& set)
    : CanusbFamily(set.device, set.objects.CAN_u, set.objects.CAN_d, set.drivers) {}

void CanusbFamily::Reset() {
  CAN_d_.Param_ALL_Clear();
  CAN_u_.Param_ALL_Clear();
}

void CanusbFamily::FindDevices(platform::EventPump& pump) {
  if (auto* library = driver()) Find_CANUSB_Adapters(device_, CAN_d_, *library, pump);
}

int32_t CanusbFamily::DeviceCount() const {
  return std::clamp(CAN_d_.CAN_USB_FindCount(), 0, CAN_DB::kCapacity);
}

std::string CanusbFamily::EntryText(int32_t n) const {
  return "CANUSB " + CAN_d_.CAN_USB_FindSerialNo(static_cast<int16_t>(n));
}

SelectedDeviceInfo CanusbFamily::Select(int32_t n) {
  CAN_d_.set_CAN_USB_SelectNo(n);
  auto* library = driver();
  if (library == nullptr) return {0, std::nullopt};
  return Probe_CANUSB_Version(device_.t_bitRate(), CAN_u_, CAN_d_, *library);
}

std::unique_ptr<FamilyConnection> CanusbFamily::Connection() {
  return std::make_unique<CanusbConnection>(driver(), CAN_u_, CAN_d_);
}

std::string CanusbFamily::InterfaceName() const {
  return "canusb-" + CAN_d_.CAN_USB_SelectSerial();
}

constinit const FamilyEntry kCanusbFamily{
    .name = "CANUSB",
    .library = DriverFile{platform::kCanusbLibraryFile, &LoadBinding<CanusbDriver>},
    .offers_rate = &CanusbConnection::OffersRate,
    .searched_progress = 0.3,
    .listed_progress = 0.6,
    .make = &MakeFamily<CanusbFamily>,
};

}  // namespace telpod
