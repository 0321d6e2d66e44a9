#pragma once

#include "devices/device_family.h"
#include "devices/socketcan/can_db_socketcan.h"
#include "devices/socketcan/socketcan_system.h"

namespace telpod {

// The kernel's CAN network interfaces: no library, only raw CAN sockets.
class SocketCanFamily final : public DeviceFamily {
 public:
  SocketCanFamily(CAN_DB_SocketCAN& sockCan_d, SocketCanSystem& system)
      : sockCan_d_(sockCan_d), system_(system) {}
  explicit SocketCanFamily(FamilySet& set);

  void Reset() override;
  bool Present() override;
  void FindDevices(platform::EventPump& pump) override;
  int32_t DeviceCount() const override;
  std::string EntryText(int32_t n) const override;
  SelectedDeviceInfo Select(int32_t n) override;
  std::unique_ptr<FamilyConnection> Connection() override;
  std::string InterfaceName() const override;

 private:
  CAN_DB_SocketCAN& sockCan_d_;
  SocketCanSystem& system_;
};

extern const FamilyEntry kSocketCanFamily;

}  // namespace telpod
