#pragma once

#include "devices/ifcan/can_db_interface.h"
#include "devices/ifcan/ifcan_driver.h"
#include "devices/ifcan/interface_can.h"
#include "devices/library_family.h"
#include "model/elm327_info.h"

namespace telpod {

// Interface Corporation boards through their maker's library: one entry per
// port that opens, its information line from the record read at the search.
// A connection's close status stays in the status box.
class IfCanFamily final : public LibraryFamily<IfCanDriver> {
 public:
  IfCanFamily(ELM327_Info& device, InterfaceCAN& IfCan_u, CAN_DB_Interface& IfCan_d,
              const DriverSet& drivers)
      : LibraryFamily(drivers), device_(device), IfCan_u_(IfCan_u), IfCan_d_(IfCan_d) {}
  explicit IfCanFamily(FamilySet& set);

  void Reset() override;
  void FindDevices(platform::EventPump& pump) override;
  int32_t DeviceCount() const override;
  std::string EntryText(int32_t n) const override;
  SelectedDeviceInfo Select(int32_t n) override;
  std::unique_ptr<FamilyConnection> Connection() override;
  // The driver as not ready.
  int32_t FailureResult() const override;
  // The status's text unless it is success.
  std::string StatusAfter(int32_t result) const override;
  std::string InterfaceName() const override;

 private:
  ELM327_Info& device_;
  InterfaceCAN& IfCan_u_;
  CAN_DB_Interface& IfCan_d_;
};

extern const FamilyEntry kIfCanFamily;

}  // namespace telpod
