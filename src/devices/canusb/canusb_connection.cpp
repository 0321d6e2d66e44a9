#include "devices/canusb/canusb_connection.h"

#include <algorithm>

#include "abi/le_bytes.h"

namespace telpod {

namespace {

constexpr size_t kIdOffset = 0;
constexpr size_t kFlagsOffset = 8;
constexpr size_t kLengthOffset = 9;
constexpr size_t kDataOffset = 10;

// The adapter latches no bus-off flag; its bus-error flag only says that
// errors were seen, which a bus without an acknowledging node gives too.
constexpr BusStateBits kStatusBits{0, canusb_abi::CANSTATUS_ERROR_PASSIVE,
                                   canusb_abi::CANSTATUS_ERROR_WARNING};

}  // namespace

CanusbConnection::CanusbConnection(const CanusbDriver* driver, CANUSB& CAN_u, CAN_DB& CAN_d)
    : driver_(driver), CAN_u_(CAN_u), CAN_d_(CAN_d) {}

bool CanusbConnection::OffersRate(int32_t t_bitRate) {
  return !CanusbBitRateText(CANUSB(), t_bitRate).empty();
}

bool CanusbConnection::SelectRate(int32_t t_bitRate) {
  // Every rate is offered; an index outside the table leaves the text empty
  // and the adapter refuses to open with it.
  bitrate_ = CanusbBitRateText(CAN_u_, t_bitRate);
  return true;
}

bool CanusbConnection::Open() {
  if (driver_ == nullptr) return false;
  handle_ =
      driver_->Open(CAN_d_.CAN_USB_SelectSerial(), bitrate_, CAN_u_.CANUSB_ACCEPTANCE_CODE_ALL(),
                    CAN_u_.CANUSB_ACCEPTANCE_MASK_ALL(), CAN_u_.CANUSB_FLAG_TIMESTAMP());
  CAN_d_.set_CAN_USB_Handle(handle_);
  write_ = driver_->canusb_Write;
  return handle_ >= 1;
}

bool CanusbConnection::WriteFrame(const CanFrame& frame) {
  uint8_t* record = frame_.data();
  PutLe32(record + kIdOffset, frame.id);
  record[kFlagsOffset] = static_cast<uint8_t>((frame.extended ? canusb_abi::CANMSG_EXTENDED : 0) |
                                              (frame.remote ? canusb_abi::CANMSG_RTR : 0));
  record[kLengthOffset] = frame.dlc;
  std::copy(frame.data.begin(), frame.data.end(), record + kDataOffset);
  return write_(handle_, reinterpret_cast<CANMsg*>(record)) == canusb_abi::ERROR_CANUSB_OK;
}

BusState CanusbConnection::ReadBusState() {
  // The adapter counts its bus-offs since the open; the SJA1000 behind it
  // stays off the bus after one until it is opened again.
  CANUsbStatistics statistics{};
  if (driver_->canusb_GetStatistics(handle_, &statistics) > 0 && statistics.cntBusOff > 0) {
    return BusState::BusOff;
  }
  // A negative result is an error, not flags.
  const int status = driver_->canusb_Status(handle_);
  return status < 0 ? BusState::Normal
                    : BusStateOf(static_cast<unsigned long>(status), kStatusBits);
}

int32_t CanusbConnection::Close() {
  driver_->canusb_Close(handle_);
  return 0;
}

}  // namespace telpod
