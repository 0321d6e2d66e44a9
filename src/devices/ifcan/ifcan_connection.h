#pragma once

#include <array>
#include <cstdint>

#include "devices/ifcan/can_db_interface.h"
#include "devices/ifcan/ifcan_driver.h"
#include "devices/ifcan/interface_can.h"
#include "send/connection_skeleton.h"

namespace telpod {

// A connection over the chosen Interface board port: read the board's
// configuration, set mode and bit rate, activate, send each row as one
// message record, then deactivate and close. Its result is the close status.
// The library reports no bus state; refused messages are all there is.
class IfCanConnection final : public FamilyConnection {
 public:
  // `driver` may be null (library absent): the open then fails.
  IfCanConnection(const IfCanDriver* driver, InterfaceCAN& IfCan_u, CAN_DB_Interface& IfCan_d);

  // The board has no code for 800k, 20k and 10k.
  static bool OffersRate(int32_t t_bitRate);

  bool SelectRate(int32_t t_bitRate) override;
  bool Open() override;
  int32_t CloseAfterFailedOpen() override { return Close(); }
  void Start(LoopStart& start) override;
  bool WriteFrame(const CanFrame& frame) override;
  // The board's message record has no remote-frame flag.
  bool SendsRemoteFrames() const override { return false; }
  int32_t Close() override;

 private:
  const IfCanDriver* driver_;
  InterfaceCAN& IfCan_u_;
  CAN_DB_Interface& IfCan_d_;
  int32_t code_ = 0;
  int32_t handle_ = ifcan_abi::kNoHandle;
  CanSendMessage_t send_ = nullptr;
  // Both records are zeroed once here; the five middle configuration words
  // go back to the board as it gave them.
  alignas(4) std::array<uint8_t, ifcan_abi::kConfigBytes> config_{};
  alignas(4) std::array<uint8_t, ifcan_abi::kFrameBytes> frame_{};
};

}  // namespace telpod
