#include "devices/ifcan/ifcan_connection.h"

#include <algorithm>
#include <string>

#include "abi/le_bytes.h"
#include "devices/rate_table.h"

namespace telpod {

using namespace ifcan_abi;

namespace {

// The bit-rate code of each index 0..8; 800k, 20k and 10k are not offered.
constexpr std::array<int32_t (InterfaceCAN::*)() const, 9> kBitRateCodes{
    &InterfaceCAN::CAN_BAUDRATE_1M,
    nullptr,
    &InterfaceCAN::CAN_BAUDRATE_500k,
    &InterfaceCAN::CAN_BAUDRATE_250k,
    &InterfaceCAN::CAN_BAUDRATE_100k,
    &InterfaceCAN::CAN_BAUDRATE_50k,
    nullptr,
    nullptr,
    &InterfaceCAN::CAN_BAUDRATE_125k};

}  // namespace

IfCanConnection::IfCanConnection(const IfCanDriver* driver, InterfaceCAN& IfCan_u,
                                 CAN_DB_Interface& IfCan_d)
    : driver_(driver), IfCan_u_(IfCan_u), IfCan_d_(IfCan_d) {}

bool IfCanConnection::OffersRate(int32_t t_bitRate) {
  return RateOf(kBitRateCodes, t_bitRate) != nullptr;
}

bool IfCanConnection::SelectRate(int32_t t_bitRate) {
  const auto rate = RateOf(kBitRateCodes, t_bitRate);
  if (!rate) return false;
  code_ = (IfCan_u_.*rate)();
  return true;
}

bool IfCanConnection::Open() {
  if (driver_ == nullptr) {
    IfCan_d_.set_Interface_CAN_Handle(std::to_string(kNoHandle));
    return false;
  }
  const auto selected = static_cast<int16_t>(IfCan_d_.Interface_CAN_SelectNo());
  handle_ = driver_->OpenPort(IfCan_d_.Interface_CAN_FindNo(selected));
  IfCan_d_.set_Interface_CAN_Handle(std::to_string(handle_));
  if (driver_->CanGetConfig(handle_, config_.data()) !=
      static_cast<uint32_t>(IfCan_u_.IFCAN_ERROR_SUCCESS())) {
    driver_->CanClosePort(handle_);
    handle_ = kNoHandle;
    IfCan_d_.set_Interface_CAN_Handle(std::to_string(kNoHandle));
  }
  send_ = driver_->CanSendMessage;
  return handle_ != kNoHandle;
}

void IfCanConnection::Start(LoopStart& start) {
  PutLe32(config_.data() + kConfigModeOffset, static_cast<uint32_t>(IfCan_u_.CAN_NORMAL_MODE()));
  PutLe32(config_.data() + kConfigBaudOffset, static_cast<uint32_t>(code_));
  start.ShowRunning();
  driver_->CanSetConfig(handle_, config_.data());
  driver_->CanActivate(handle_);
  PutLe32(frame_.data() + kFrameTailOffset, 0);
  start.StampLastVisit();
}

bool IfCanConnection::WriteFrame(const CanFrame& frame) {
  // The board's message record has no remote-frame flag.
  if (frame.remote) return false;
  uint8_t* record = frame_.data();
  PutLe32(record + kFrameLengthOffset, frame.dlc);
  PutLe32(record + kFrameIdOffset, frame.extended ? frame.id | kExtendedIdBit : frame.id);
  std::copy(frame.data.begin(), frame.data.end(), record + kFrameDataOffset);
  return send_(handle_, record, 1) == static_cast<uint32_t>(IfCan_u_.IFCAN_ERROR_SUCCESS());
}

int32_t IfCanConnection::Close() {
  if (driver_ == nullptr) return IfCan_u_.IFCAN_ERROR_NOT_READY();
  driver_->CanDeactivate(handle_);
  return static_cast<int32_t>(driver_->CanClosePort(handle_));
}

}  // namespace telpod
