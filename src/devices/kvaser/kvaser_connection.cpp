#include "devices/kvaser/kvaser_connection.h"

#include <algorithm>
#include <string>

#include "devices/rate_table.h"

namespace telpod {

namespace {

// Bus timing handed to canSetBusParams with a predefined rate:
// tseg1, tseg2, sjw, number of samples, sync mode.
constexpr unsigned kTseg1 = 5, kTseg2 = 2, kSjw = 1, kSamples = 1, kSyncMode = 0;

// The CANlib bit rate of each index 0..8; 800k and 20k are not offered.
constexpr std::array<int32_t (KvaserCAN::*)() const, 9> kCanlibRates{&KvaserCAN::canBITRATE_1M,
                                                                     nullptr,
                                                                     &KvaserCAN::canBITRATE_500K,
                                                                     &KvaserCAN::canBITRATE_250K,
                                                                     &KvaserCAN::canBITRATE_100K,
                                                                     &KvaserCAN::canBITRATE_50K,
                                                                     nullptr,
                                                                     &KvaserCAN::canBITRATE_10K,
                                                                     &KvaserCAN::canBITRATE_125K};

constexpr BusStateBits kStatusBits{canlib_abi::canSTAT_BUS_OFF, canlib_abi::canSTAT_ERROR_PASSIVE,
                                   canlib_abi::canSTAT_ERROR_WARNING};

}  // namespace

KvaserConnection::KvaserConnection(const CanlibDriver* driver, KvaserCAN& kvCan_u,
                                   CAN_DB_Kvaser& kvCan_d)
    : driver_(driver),
      kvCan_u_(kvCan_u),
      kvCan_d_(kvCan_d),
      standard_flag_(static_cast<unsigned>(kvCan_u.canMSG_STD())),
      extended_flag_(static_cast<unsigned>(kvCan_u.canMSG_EXT())) {}

bool KvaserConnection::OffersRate(int32_t t_bitRate) {
  return RateOf(kCanlibRates, t_bitRate) != nullptr;
}

bool KvaserConnection::SelectRate(int32_t t_bitRate) {
  const auto rate = RateOf(kCanlibRates, t_bitRate);
  if (!rate) return false;
  rate_ = (kvCan_u_.*rate)();
  return true;
}

bool KvaserConnection::Open() {
  if (driver_ == nullptr) return false;
  const int channel =
      kvCan_d_.Kvaser_DevChannel(static_cast<int16_t>(kvCan_d_.KvCAN_SelectNo() - 1));
  handle_ = driver_->canOpenChannel(channel, kvCan_u_.canOPEN_REQUIRE_INIT_ACCESS());
  if (handle_ < 0) return false;
  kvCan_d_.set_KvCAN_Handle(std::to_string(handle_));
  write_ = driver_->canWrite;
  return true;
}

void KvaserConnection::Start(LoopStart& start) {
  driver_->canSetBusParams(handle_, rate_, kTseg1, kTseg2, kSjw, kSamples, kSyncMode);
  start.StampLastVisit();
  start.ShowRunning();
  driver_->canBusOn(handle_);
}

bool KvaserConnection::WriteFrame(const CanFrame& frame) {
  std::copy(frame.data.begin(), frame.data.end(), data_.begin());
  const unsigned flag = (frame.extended ? extended_flag_ : standard_flag_) |
                        (frame.remote ? unsigned{canlib_abi::canMSG_RTR} : 0u);
  return write_(handle_, static_cast<long>(frame.id), data_.data(), frame.dlc, flag) >=
         canlib_abi::canOK;
}

BusState KvaserConnection::ReadBusState() {
  unsigned long flags = 0;
  if (driver_->canReadStatus(handle_, &flags) < canlib_abi::canOK) return BusState::Normal;
  return BusStateOf(flags, kStatusBits);
}

int32_t KvaserConnection::Close() {
  driver_->canBusOff(handle_);
  driver_->canClose(handle_);
  return 0;
}

}  // namespace telpod
