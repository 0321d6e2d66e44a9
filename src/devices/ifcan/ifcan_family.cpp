#include "devices/ifcan/ifcan_family.h"

#include <algorithm>

#include "devices/family_set.h"
#include "devices/ifcan/find_interface_boards.h"
#include "devices/ifcan/ifcan_connection.h"
#include "devices/ifcan/ifcan_device_texts.h"
#include "platform/driver_folders.h"

namespace telpod {

IfCanFamily::IfCanFamily(FamilySet& set)
    : IfCanFamily(set.device, set.objects.IfCan_u, set.objects.IfCan_d, set.drivers) {}

void IfCanFamily::Reset() {
  IfCan_d_.Param_ALL_Clear();
  IfCan_u_.Param_ALL_Clear();
}

void IfCanFamily::FindDevices(platform::EventPump& pump) {
  if (auto* library = driver()) {
    Find_Interface_Boards(device_, IfCan_u_, IfCan_d_, *library, pump);
  }
}

int32_t IfCanFamily::DeviceCount() const {
  return std::clamp(IfCan_d_.Interface_CAN_FindCount(), 0, CAN_DB_Interface::kCapacity);
}

std::string IfCanFamily::EntryText(int32_t n) const {
  return Interface_Entry_Text(IfCan_d_, static_cast<int16_t>(n));
}

SelectedDeviceInfo IfCanFamily::Select(int32_t n) {
  IfCan_d_.set_Interface_CAN_SelectNo(n);
  return {1, Interface_Info_Text(IfCan_d_, static_cast<int16_t>(n))};
}

std::unique_ptr<FamilyConnection> IfCanFamily::Connection() {
  return std::make_unique<IfCanConnection>(driver(), IfCan_u_, IfCan_d_);
}

int32_t IfCanFamily::FailureResult() const {
  return IfCan_u_.IFCAN_ERROR_NOT_READY();
}

std::string IfCanFamily::StatusAfter(int32_t result) const {
  return result == IfCan_u_.IFCAN_ERROR_SUCCESS() ? std::string()
                                                  : IfCan_u_.Get_Status_Message(result);
}

std::string IfCanFamily::InterfaceName() const {
  const auto selected = static_cast<int16_t>(IfCan_d_.Interface_CAN_SelectNo());
  return "ifcan" + std::to_string(IfCan_d_.Interface_CAN_FindNo(selected));
}

constinit const FamilyEntry kIfCanFamily{
    .name = "Interface",
    .library = DriverFile{platform::kIfCanLibraryFile, &LoadBinding<IfCanDriver>},
    .offers_rate = &IfCanConnection::OffersRate,
    .searched_progress = 0.4,
    .make = &MakeFamily<IfCanFamily>,
};

}  // namespace telpod
