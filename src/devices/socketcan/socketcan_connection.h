#pragma once

#include <cstdint>
#include <string>

#include "devices/socketcan/can_db_socketcan.h"
#include "devices/socketcan/socketcan_system.h"
#include "send/connection_skeleton.h"

namespace telpod {

// The SocketCAN family on the connection skeleton: every rate of the table,
// a controller brought to the chosen rate before the socket opens, one raw
// CAN frame per row written.
class SocketCanConnection final : public FamilyConnection {
 public:
  SocketCanConnection(CAN_DB_SocketCAN& db, SocketCanSystem& system) : db_(db), system_(system) {}
  ~SocketCanConnection() override;
  SocketCanConnection(const SocketCanConnection&) = delete;
  SocketCanConnection& operator=(const SocketCanConnection&) = delete;

  bool SelectRate(int32_t t_bitRate) override;
  // A controller (link kind "can") whose rate differs is stopped, set and
  // started; one that is stopped is started. Virtual links take any rate.
  bool Open() override;
  platform::SourceText OpenFailureLine() const override {
    return connection_message::kEndConnection;
  }
  // The permission message when the kernel refused the controller change.
  std::string OpenFailureMessage() const override;
  void Start(LoopStart& start) override;
  // Failed writes (a refused frame, a full queue) are ignored like every
  // family's.
  void WriteRow(const CAN_SendDB& SendDB, int16_t i) override;
  int32_t Close() override;

 private:
  bool ConfigureController(const std::string& name);

  CAN_DB_SocketCAN& db_;
  SocketCanSystem& system_;
  uint32_t bits_per_second_ = 0;
  int socket_ = -1;
  std::string permission_message_;
};

// What the user sees when the program may not change the controller: the
// commands that bring it up at the chosen rate ("ip link set can0 type can
// bitrate 500000", "ip link set can0 up"), led by "ip link set can0 down"
// when it is running, since a running controller keeps its rate.
std::string SocketCAN_PermissionMessage(const std::string& name, uint32_t bits_per_second,
                                        bool running);

}  // namespace telpod
