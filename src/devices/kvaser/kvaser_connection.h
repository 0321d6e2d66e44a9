#pragma once

#include <array>
#include <cstdint>

#include "devices/kvaser/can_db_kvaser.h"
#include "devices/kvaser/canlib_driver.h"
#include "devices/kvaser/kvaser_can.h"
#include "send/connection_skeleton.h"

namespace telpod {

// A connection over the chosen Kvaser channel: open with init access, set
// the bit rate, bus on, write each row with canWrite, then bus off and close.
// The bus state comes from canReadStatus.
class KvaserConnection final : public FamilyConnection {
 public:
  // `driver` may be null (library absent): the open then fails.
  KvaserConnection(const CanlibDriver* driver, KvaserCAN& kvCan_u, CAN_DB_Kvaser& kvCan_d);

  // CANlib's predefined rates lack 800k and 20k.
  static bool OffersRate(int32_t t_bitRate);

  bool SelectRate(int32_t t_bitRate) override;
  bool Open() override;
  void Start(LoopStart& start) override;
  bool WriteFrame(const CanFrame& frame) override;
  BusState ReadBusState() override;
  int32_t Close() override;

 private:
  const CanlibDriver* driver_;
  KvaserCAN& kvCan_u_;
  CAN_DB_Kvaser& kvCan_d_;
  int32_t rate_ = 0;
  canHandle handle_ = -1;
  canWrite_t write_ = nullptr;
  unsigned standard_flag_;
  unsigned extended_flag_;
  // Bytes 0..7 carry the row's data; byte 8 stays 0.
  std::array<uint8_t, 9> data_{};
};

}  // namespace telpod
