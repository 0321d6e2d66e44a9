#include "devices/slcan/slcan_family.h"

#include "devices/slcan/slcan_connection.h"
#include "devices/slcan/slcan_discovery.h"
#include "model/bit_rate_table.h"
#include "platform/serial_port_search.h"

namespace telpod::slcan {

bool SlcanFamily::Present() {
  return !platform::FindSerialPorts(platform::SystemSerialPortPlaces()).empty();
}

void SlcanFamily::FindDevices(platform::EventPump& pump) {
  FindAdapters(catalogue_, platform::FindSerialPorts(platform::SystemSerialPortPlaces()), pump);
}

int32_t SlcanFamily::DeviceCount() const {
  return static_cast<int32_t>(catalogue_.adapters().size());
}

std::string SlcanFamily::EntryText(int32_t n) const {
  if (n < 1 || n > DeviceCount()) return "";
  return slcan::EntryText(catalogue_.adapters()[static_cast<size_t>(n - 1)]);
}

SelectedDeviceInfo SlcanFamily::Select(int32_t n) {
  catalogue_.Choose(n);
  return ProbeChosenAdapter(catalogue_);
}

std::unique_ptr<FamilyConnection> SlcanFamily::Connection() {
  return std::make_unique<SlcanConnection>(catalogue_.Chosen());
}

std::string SlcanFamily::InterfaceName() const {
  const Adapter* chosen = catalogue_.Chosen();
  return chosen ? slcan::InterfaceName(*chosen) : "";
}

bool OffersRate(int32_t t_bitRate) {
  const auto rate = FindBitRate(t_bitRate);
  return rate && RateCommand(rate->bits_per_second);
}

constinit const FamilyEntry kSlcanFamily{
    .name = "SLCAN",
    .offers_rate = &OffersRate,
    .make = &MakeFamily<SlcanFamily>,
};

}  // namespace telpod::slcan
