#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "devices/canusb/can_db.h"
#include "devices/canusb/canusb.h"
#include "devices/canusb/canusb_driver.h"
#include "send/connection_skeleton.h"

namespace telpod {

// A connection over the chosen CANUSB adapter (CAN_USB_SelectSerial): open
// at the rate's text, write each row as a CANMsg record, close. The bus
// state comes from the adapter's bus-off count and its status flags.
class CanusbConnection final : public FamilyConnection {
 public:
  // `driver` may be null (library absent): the open then fails.
  CanusbConnection(const CanusbDriver* driver, CANUSB& CAN_u, CAN_DB& CAN_d);

  // Every rate of the common table has its text.
  static bool OffersRate(int32_t t_bitRate);

  bool SelectRate(int32_t t_bitRate) override;
  bool Open() override;
  bool WriteFrame(const CanFrame& frame) override;
  BusState ReadBusState() override;
  int32_t Close() override;

 private:
  const CanusbDriver* driver_;
  CANUSB& CAN_u_;
  CAN_DB& CAN_d_;
  std::string bitrate_;
  int32_t handle_ = 0;
  canusb_Write_t write_ = nullptr;
  // Zeroed once here; every field but the time stamp is rewritten per frame.
  alignas(CANMsg) std::array<uint8_t, canusb_abi::kFrameBufferBytes> frame_{};
};

}  // namespace telpod
