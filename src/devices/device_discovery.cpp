#include "devices/device_discovery.h"

#include <algorithm>
#include <vector>

#include "devices/canusb/find_canusb_adapters.h"
#include "devices/device_selection.h"
#include "devices/ifcan/find_interface_boards.h"
#include "devices/kvaser/find_kvaser_channels.h"
#include "devices/socketcan/socketcan_discovery.h"
#include "model/family.h"
#include "platform/ignoring_errors.h"

namespace telpod {

namespace {

using platform::IgnoringErrors;

void SearchFamilies(int32_t mask, ELM327_Info& device, FamilyObjects& f, DriverSet& drivers,
                    SocketCanSystem& socketcan, platform::EventPump& pump,
                    DiscoveryProgress& progress) {
  progress.Progress(0.15);
  if (mask & DriverMaskBit(Family::CANUSB)) {
    IgnoringErrors([&] { Find_CANUSB_Adapters(device, f.CAN_d, *drivers.canusb, pump); });
  }
  progress.Progress(0.3);
  if (mask & DriverMaskBit(Family::Interface)) {
    IgnoringErrors(
        [&] { Find_Interface_Boards(device, f.IfCan_u, f.IfCan_d, *drivers.ifcan, pump); });
  }
  progress.Progress(0.4);
  if (mask & DriverMaskBit(Family::Kvaser)) {
    IgnoringErrors(
        [&] { Find_Kvaser_Channels(device, f.kvCan_u, f.kvCan_d, *drivers.canlib, pump); });
  }
  if (mask & DriverMaskBit(Family::SocketCAN)) {
    IgnoringErrors([&] { Find_SocketCAN_Interfaces(device, f.sockCan_d, socketcan, pump); });
  }
  progress.Progress(0.45);
}

bool AnyDeviceFound(const FamilyObjects& f) {
  return f.CAN_d.CAN_USB_FindCount() >= 1 || f.IfCan_d.Interface_CAN_FindCount() >= 1 ||
         f.kvCan_d.Kvaser_FindCount() >= 1 || f.sockCan_d.SocketCAN_FindCount() >= 1;
}

// The entries in list order; the CANUSB adapters' part is done at 0.6.
void ListDevices(const FamilyObjects& f, DiscoveryProgress& progress) {
  const auto entries = Device_List_Entries(f.CAN_d, f.IfCan_d, f.kvCan_d, &f.sockCan_d);
  const size_t canusb_entries = static_cast<size_t>(std::max(0, f.CAN_d.CAN_USB_FindCount()));
  for (size_t n = 0; n < entries.size(); ++n) {
    if (n == canusb_entries) progress.Progress(0.6);
    progress.AddEntry(entries[n]);
  }
  if (canusb_entries >= entries.size()) progress.Progress(0.6);
}

}  // namespace

void Reset_Shared_Objects(ELM327_Info& device, FamilyObjects& families, CAN_SendDB& Tx_CANDATA) {
  device.Param_ALL_Clear();
  families.CAN_d.Param_ALL_Clear();
  families.CAN_u.Param_ALL_Clear();
  families.IfCan_d.Param_ALL_Clear();
  families.IfCan_u.Param_ALL_Clear();
  families.kvCan_d.Param_ALL_Clear();
  families.kvCan_u.Param_ALL_Clear();
  families.sockCan_d.Param_ALL_Clear();
  Tx_CANDATA.Param_ALL_Clear();
}

bool Find_Devices(int32_t mask, ELM327_Info& device, FamilyObjects& families, DriverSet& drivers,
                  SocketCanSystem& socketcan, platform::EventPump& pump,
                  DiscoveryProgress& progress) {
  SearchFamilies(mask, device, families, drivers, socketcan, pump, progress);
  progress.Judging();
  if (!AnyDeviceFound(families)) return false;
  IgnoringErrors([&] { ListDevices(families, progress); });
  progress.Progress(0.7);
  return true;
}

}  // namespace telpod
