#pragma once

#include "devices/socketcan/socketcan_system.h"

namespace telpod {

// The SocketCAN calls on a real Linux kernel: interface listing through
// if_nameindex, link details through rtnetlink, sysfs and libsocketcan,
// controller changes through libsocketcan, frames and error frames through
// raw CAN sockets.
class LinuxSocketCanSystem final : public SocketCanSystem {
 public:
  bool RawSocketsOffered() override;
  std::vector<std::string> CanInterfaces() override;
  SocketCanLink Describe(const std::string& name) override;
  ControlResult StopController(const std::string& name) override;
  ControlResult SetBitRate(const std::string& name, uint32_t bits_per_second) override;
  ControlResult StartController(const std::string& name) override;
  int OpenRawSocket(const std::string& name) override;
  bool WriteFrame(int socket, const can_frame& frame) override;
  bool ReadErrorFrame(int socket, can_frame& frame) override;
  void CloseSocket(int socket) override;
};

}  // namespace telpod
