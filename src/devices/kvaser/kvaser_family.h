#pragma once

#include "devices/kvaser/can_db_kvaser.h"
#include "devices/kvaser/canlib_driver.h"
#include "devices/kvaser/kvaser_can.h"
#include "devices/library_family.h"
#include "model/elm327_info.h"

namespace telpod {

// Kvaser channels through CANlib: listed by the channel's name, probed for
// the card's part number, serial number and firmware.
class KvaserFamily final : public LibraryFamily<CanlibDriver> {
 public:
  KvaserFamily(ELM327_Info& device, KvaserCAN& kvCan_u, CAN_DB_Kvaser& kvCan_d,
               const DriverSet& drivers)
      : LibraryFamily(drivers), device_(device), kvCan_u_(kvCan_u), kvCan_d_(kvCan_d) {}
  explicit KvaserFamily(FamilySet& set);

  void Reset() override;
  void FindDevices(platform::EventPump& pump) override;
  int32_t DeviceCount() const override;
  // The catalogue keeps channel n at n - 1.
  std::string EntryText(int32_t n) const override;
  SelectedDeviceInfo Select(int32_t n) override;
  std::unique_ptr<FamilyConnection> Connection() override;
  std::string InterfaceName() const override;

 private:
  ELM327_Info& device_;
  KvaserCAN& kvCan_u_;
  CAN_DB_Kvaser& kvCan_d_;
};

extern const FamilyEntry kKvaserFamily;

}  // namespace telpod
