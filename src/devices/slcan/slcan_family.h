#pragma once

#include "devices/device_family.h"
#include "devices/slcan/slcan_catalogue.h"

namespace telpod::slcan {

// Serial-line adapters speaking the Lawicel command set, found by asking
// each USB serial port (or those TELPOD_SERIAL_PORTS names) who is there.
// No library and no kernel module: the family can run wherever there is a
// serial port to ask.
class SlcanFamily final : public DeviceFamily {
 public:
  SlcanFamily() = default;
  explicit SlcanFamily(FamilySet& /*set*/) {}

  void Reset() override { catalogue_.Clear(); }
  bool Present() override;
  void FindDevices(platform::EventPump& pump) override;
  int32_t DeviceCount() const override;
  std::string EntryText(int32_t n) const override;
  SelectedDeviceInfo Select(int32_t n) override;
  std::unique_ptr<FamilyConnection> Connection() override;
  std::string InterfaceName() const override;

 private:
  Catalogue catalogue_;
};

// Whether the adapters take the rate of a bit-rate index: every rate of the
// table (S0..S8), nothing outside it.
bool OffersRate(int32_t t_bitRate);

extern const FamilyEntry kSlcanFamily;

}  // namespace telpod::slcan
