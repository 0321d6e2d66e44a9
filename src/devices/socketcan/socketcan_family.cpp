#include "devices/socketcan/socketcan_family.h"

#include <algorithm>

#include "devices/family_set.h"
#include "devices/socketcan/socketcan_connection.h"
#include "devices/socketcan/socketcan_discovery.h"

namespace telpod {

SocketCanFamily::SocketCanFamily(FamilySet& set)
    : SocketCanFamily(set.objects.sockCan_d, set.socketcan) {}

void SocketCanFamily::Reset() {
  sockCan_d_.Param_ALL_Clear();
}

bool SocketCanFamily::Present() {
  return Check_SocketCAN_Driver(system_);
}

void SocketCanFamily::FindDevices(platform::EventPump& pump) {
  Find_SocketCAN_Interfaces(sockCan_d_, system_, pump);
}

int32_t SocketCanFamily::DeviceCount() const {
  return std::clamp(sockCan_d_.SocketCAN_FindCount(), 0, CAN_DB_SocketCAN::kCapacity);
}

std::string SocketCanFamily::EntryText(int32_t n) const {
  return SocketCAN_EntryText(sockCan_d_, static_cast<int16_t>(n));
}

SelectedDeviceInfo SocketCanFamily::Select(int32_t n) {
  sockCan_d_.set_SocketCAN_SelectNo(n);
  return {1, SocketCAN_InfoLine(system_, sockCan_d_)};
}

std::unique_ptr<FamilyConnection> SocketCanFamily::Connection() {
  return std::make_unique<SocketCanConnection>(sockCan_d_, system_);
}

std::string SocketCanFamily::InterfaceName() const {
  return sockCan_d_.SocketCAN_IfName(static_cast<int16_t>(sockCan_d_.SocketCAN_SelectNo()));
}

constinit const FamilyEntry kSocketCanFamily{
    .name = "SocketCAN",
    .offers_rate = &SocketCanConnection::OffersRate,
    .make = &MakeFamily<SocketCanFamily>,
};

}  // namespace telpod
