#include "devices/device_selection.h"

#include <algorithm>

#include "devices/canusb/canusb_version_probe.h"
#include "devices/ifcan/ifcan_device_texts.h"
#include "devices/kvaser/kvaser_device_info.h"
#include "devices/socketcan/socketcan_discovery.h"
#include "model/family.h"

namespace telpod {

namespace {

// Catalogue counts bounded by what the catalogues can hold.
int32_t Bounded(int32_t count, int32_t capacity) {
  return std::clamp(count, 0, capacity);
}

Family Resolve(ELM327_Info& device, CAN_DB& CAN_d, CAN_DB_Interface& IfCan_d,
               CAN_DB_Kvaser& kvCan_d, CAN_DB_SocketCAN* sockCan_d) {
  const int32_t p = device.t_CmbBOX_device_SelectNo();
  const int32_t u = Bounded(CAN_d.CAN_USB_FindCount(), CAN_DB::kCapacity);
  const int32_t i = Bounded(IfCan_d.Interface_CAN_FindCount(), CAN_DB_Interface::kCapacity);
  const int32_t k = Bounded(kvCan_d.Kvaser_FindCount(), CAN_DB_Kvaser::kCapacity);
  // Positions count from 1; 0 (nothing chosen yet) or less names no entry.
  if (p < 1) return Family::None;
  if (u >= 1 && p <= u) {
    CAN_d.set_CAN_USB_SelectNo(p);
    return Family::CANUSB;
  }
  if (i >= 1 && p > u && p <= u + i) {
    IfCan_d.set_Interface_CAN_SelectNo(p - u);
    return Family::Interface;
  }
  if (k >= 1 && p > u + i && p <= u + i + k) {
    kvCan_d.set_KvCAN_SelectNo(p - u - i);
    return Family::Kvaser;
  }
  const int32_t s =
      sockCan_d ? Bounded(sockCan_d->SocketCAN_FindCount(), CAN_DB_SocketCAN::kCapacity) : 0;
  if (s >= 1 && p > u + i + k && p <= u + i + k + s) {
    sockCan_d->set_SocketCAN_SelectNo(p - u - i - k);
    return Family::SocketCAN;
  }
  return Family::None;
}

}  // namespace

SelectedDeviceInfo Show_SelectedDevice_Info(ELM327_Info& device, CANUSB& CAN_u, CAN_DB& CAN_d,
                                            InterfaceCAN& /*IfCan_u*/, CAN_DB_Interface& IfCan_d,
                                            KvaserCAN& kvCan_u, CAN_DB_Kvaser& kvCan_d,
                                            DriverSet& drivers, CAN_DB_SocketCAN* sockCan_d,
                                            SocketCanSystem* socketcan) {
  try {
    device.set_t_select_Vender(FamilyNumber(Family::None));
    const Family family = Resolve(device, CAN_d, IfCan_d, kvCan_d, sockCan_d);
    device.set_t_select_Vender(FamilyNumber(family));
    switch (family) {
      case Family::CANUSB:
        if (!drivers.canusb) break;
        return Probe_CANUSB_Version(device.t_bitRate(), CAN_u, CAN_d, *drivers.canusb);
      case Family::Interface:
        return {1, Interface_Info_Text(IfCan_d,
                                       static_cast<int16_t>(IfCan_d.Interface_CAN_SelectNo()))};
      case Family::Kvaser:
        if (!drivers.canlib) break;
        return Probe_Kvaser_Info(kvCan_u, kvCan_d, *drivers.canlib);
      case Family::SocketCAN:
        if (!socketcan) break;
        return {1, SocketCAN_InfoLine(*socketcan, *sockCan_d)};
      case Family::None:
        break;
    }
  } catch (...) {
  }
  return {0, std::nullopt};
}

std::vector<std::string> Device_List_Entries(const CAN_DB& CAN_d, const CAN_DB_Interface& IfCan_d,
                                             const CAN_DB_Kvaser& kvCan_d,
                                             const CAN_DB_SocketCAN* sockCan_d) {
  std::vector<std::string> entries;
  const int32_t u = Bounded(CAN_d.CAN_USB_FindCount(), CAN_DB::kCapacity);
  for (int16_t i = 1; i <= u; ++i) entries.push_back("CANUSB " + CAN_d.CAN_USB_FindSerialNo(i));
  const int32_t n = Bounded(IfCan_d.Interface_CAN_FindCount(), CAN_DB_Interface::kCapacity);
  for (int16_t i = 1; i <= n; ++i) entries.push_back(Interface_Entry_Text(IfCan_d, i));
  const int32_t k = Bounded(kvCan_d.Kvaser_FindCount(), CAN_DB_Kvaser::kCapacity);
  for (int16_t i = 0; i < k; ++i) entries.push_back(kvCan_d.Kvaser_DevdName(i));
  const int32_t s =
      sockCan_d ? Bounded(sockCan_d->SocketCAN_FindCount(), CAN_DB_SocketCAN::kCapacity) : 0;
  for (int16_t i = 1; i <= s; ++i) entries.push_back(SocketCAN_EntryText(*sockCan_d, i));
  return entries;
}

}  // namespace telpod
