#pragma once

#include "devices/canusb/can_db.h"
#include "devices/canusb/canusb.h"
#include "devices/canusb/canusb_driver.h"
#include "devices/library_family.h"
#include "model/elm327_info.h"

namespace telpod {

// CANUSB adapters through their maker's library: listed by serial number,
// probed by opening them for their version text.
class CanusbFamily final : public LibraryFamily<CanusbDriver> {
 public:
  CanusbFamily(ELM327_Info& device, CANUSB& CAN_u, CAN_DB& CAN_d, const DriverSet& drivers)
      : LibraryFamily(drivers), device_(device), CAN_u_(CAN_u), CAN_d_(CAN_d) {}
  explicit CanusbFamily(FamilySet& set);

  void Reset() override;
  void FindDevices(platform::EventPump& pump) override;
  int32_t DeviceCount() const override;
  std::string EntryText(int32_t n) const override;
  SelectedDeviceInfo Select(int32_t n) override;
  std::unique_ptr<FamilyConnection> Connection() override;
  std::string InterfaceName() const override;

 private:
  ELM327_Info& device_;
  CANUSB& CAN_u_;
  CAN_DB& CAN_d_;
};

extern const FamilyEntry kCanusbFamily;

}  // namespace telpod
