#pragma once

#include <linux/can.h>

#include <cstdint>
#include <optional>
#include <string>

#include "devices/socketcan/can_db_socketcan.h"
#include "devices/socketcan/socketcan_system.h"
#include "send/connection_skeleton.h"

namespace telpod {

// The SocketCAN family on the connection skeleton: every rate of the table,
// one raw CAN frame per row written. A controller is left as it was found:
// one that is down is set to the chosen rate, brought up, and brought down
// again at the end; one that is up is used only at the chosen rate, since
// other programs may be using it. The bus state comes from the
// controller's error frames.
class SocketCanConnection final : public FamilyConnection {
 public:
  SocketCanConnection(CAN_DB_SocketCAN& db, SocketCanSystem& system) : db_(db), system_(system) {}
  ~SocketCanConnection() override;
  SocketCanConnection(const SocketCanConnection&) = delete;
  SocketCanConnection& operator=(const SocketCanConnection&) = delete;

  // The kernel's CAN layer takes every rate of the common table.
  static bool OffersRate(int32_t t_bitRate);

  bool SelectRate(int32_t t_bitRate) override;
  // Virtual links take any rate and are used as they are.
  bool Open() override;
  // Says why the controller could not be used, when the family knows.
  // Takes down again what the open brought up.
  int32_t CloseAfterFailedOpen() override { return Close(); }
  // A frame the kernel refuses or cannot queue now, or one whose identifier
  // does not fit its format, is a failed write.
  bool WriteFrame(const CanFrame& frame) override;
  // Folds the error frames that arrived since the last reading into the
  // state the controller had at the open.
  BusState ReadBusState() override;
  int32_t Close() override;

 private:
  bool UseController(const std::string& name);
  bool BringUp(const std::string& name, std::optional<uint32_t> bitrate);

  CAN_DB_SocketCAN& db_;
  SocketCanSystem& system_;
  uint32_t bits_per_second_ = 0;
  int socket_ = -1;
  std::string brought_up_;  // the interface this connection brought up
  BusState state_ = BusState::Normal;
};

// The bus state a CAN_STATE_* of the kernel stands for.
BusState SocketCAN_LinkBusState(int32_t state);

// The bus state after error frame `frame` (bus off, a controller problem,
// a restart), given the one before it.
BusState SocketCAN_ErrorFrameBusState(BusState before, const can_frame& frame);

// What the user sees when the program may not set up a controller that is
// down: the commands that bring it up at the chosen rate ("ip link set can0
// type can bitrate 500000", "ip link set can0 up").
std::string SocketCAN_PermissionMessage(const std::string& name, uint32_t bits_per_second);

// What the user sees when the controller is up at another rate, or one the
// kernel does not report: that rate, and the commands that would change it
// (led by "ip link set can0 down"), which the program leaves to the user.
std::string SocketCAN_SharedRateMessage(const std::string& name, std::optional<uint32_t> running,
                                        uint32_t bits_per_second);

}  // namespace telpod
