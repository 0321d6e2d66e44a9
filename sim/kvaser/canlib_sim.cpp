// libcanlib.so.1: simulated Kvaser channels behind CANlib's entry points.
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <type_traits>

#include "abi/canlib_abi.h"
#include "core/export.h"
#include "core/simulator.h"
#include "kvaser/canlib_model.h"
#include "kvaser/error_texts.h"

namespace {

using namespace telpod::canlib_abi;
using cansim::Arg;
using cansim::CanlibModel;
using cansim::Model;
using cansim::Simulator;

// Version 5.41 of the library: the major number in the high byte.
constexpr unsigned short kVersion = (5 << 8) | 41;

// One entry point: counted and logged, then the planned fault or `body`,
// all under the model's lock. `body` gets the lock, to wait with it.
template <typename Result, typename Body>
Result Call(cansim::CanlibEntry entry, std::initializer_list<Arg> args, Body body) {
  CanlibModel::Lock lock = Model().Hold();
  if (auto r = Simulator::Get().Enter(entry, args)) return static_cast<Result>(*r);
  return body(lock);
}

canStatus PutErrorText(canStatus err, char* buf, unsigned int bufsiz) {
  if (buf == nullptr || bufsiz == 0) return canERR_PARAM;
  const std::string_view text = cansim::ErrorText(err);
  const size_t n = std::min<size_t>(text.size(), bufsiz - 1);
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
  return canOK;
}

}  // namespace

cansim::FamilyModel& cansim::ThisFamily() {
  return Model();
}

using Lock = CanlibModel::Lock;

CANSIM_EXPORT void TELPOD_DRIVER_CALL canInitializeLibrary(void) {
  Call<int>(cansim::kInitializeLibrary, {}, [](Lock&) {
    Model().Initialize();
    return 0;
  });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canGetNumberOfChannels(int* channelCount) {
  return Call<canStatus>(cansim::kGetNumberOfChannels, {},
                         [&](Lock&) { return Model().NumberOfChannels(channelCount); });
}

CANSIM_EXPORT canHandle TELPOD_DRIVER_CALL canOpenChannel(int channel, int flags) {
  return Call<canHandle>(cansim::kOpenChannel, {channel, flags},
                         [&](Lock&) { return Model().Open(channel, flags); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canGetChannelData(int channel, int item, void* buffer,
                                                             size_t bufsize) {
  return Call<canStatus>(cansim::kGetChannelData, {channel, item, bufsize}, [&](Lock&) {
    return Model().ChannelData(channel, item, buffer, bufsize);
  });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canSetBusParams(canHandle hnd, long freq,
                                                           unsigned int tseg1, unsigned int tseg2,
                                                           unsigned int sjw, unsigned int noSamp,
                                                           unsigned int syncmode) {
  return Call<canStatus>(cansim::kSetBusParams, {hnd, freq, tseg1, tseg2, sjw, noSamp, syncmode},
                         [&](Lock&) { return Model().SetBusParams(hnd, freq); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canBusOn(canHandle hnd) {
  return Call<canStatus>(cansim::kBusOn, {hnd}, [&](Lock&) { return Model().SetBus(hnd, true); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canBusOff(canHandle hnd) {
  return Call<canStatus>(cansim::kBusOff, {hnd}, [&](Lock&) { return Model().SetBus(hnd, false); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canWrite(canHandle hnd, long id, void* msg,
                                                    unsigned int dlc, unsigned int flag) {
  return Call<canStatus>(cansim::kWrite, {hnd, id, dlc, flag},
                         [&](Lock&) { return Model().Write(hnd, id, msg, dlc, flag); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canClose(canHandle hnd) {
  return Call<canStatus>(cansim::kClose, {hnd}, [&](Lock&) { return Model().Close(hnd); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canGetErrorText(canStatus err, char* buf,
                                                           unsigned int bufsiz) {
  return Call<canStatus>(cansim::kGetErrorText, {err, bufsiz},
                         [&](Lock&) { return PutErrorText(err, buf, bufsiz); });
}

CANSIM_EXPORT unsigned short TELPOD_DRIVER_CALL canGetVersion(void) {
  return Call<unsigned short>(cansim::kGetVersion, {}, [](Lock&) { return kVersion; });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canIoCtl(canHandle hnd, unsigned int func, void* buf,
                                                    unsigned int buflen) {
  return Call<canStatus>(cansim::kIoCtl, {hnd, func, buflen},
                         [&](Lock&) { return Model().IoCtl(hnd, func, buf, buflen); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canSetBusOutputControl(canHandle hnd,
                                                                  unsigned int drivertype) {
  return Call<canStatus>(cansim::kSetBusOutputControl, {hnd, drivertype},
                         [&](Lock&) { return Model().SetOutputControl(hnd, drivertype); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canSetBusParamsFd(canHandle hnd, long freq_brs,
                                                             unsigned int tseg1_brs,
                                                             unsigned int tseg2_brs,
                                                             unsigned int sjw_brs) {
  return Call<canStatus>(cansim::kSetBusParamsFd, {hnd, freq_brs, tseg1_brs, tseg2_brs, sjw_brs},
                         [&](Lock&) {
                           // The simulated channels are classic CAN only.
                           const canStatus s = Model().Check(hnd);
                           return s == canOK ? canERR_NOT_SUPPORTED : s;
                         });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canSetBusParamsC200(canHandle hnd, unsigned char btr0,
                                                               unsigned char btr1) {
  return Call<canStatus>(cansim::kSetBusParamsC200, {hnd, btr0, btr1},
                         [&](Lock&) { return Model().Check(hnd); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canSetAcceptanceFilter(canHandle hnd, unsigned int code,
                                                                  unsigned int mask,
                                                                  int is_extended) {
  return Call<canStatus>(cansim::kSetAcceptanceFilter, {hnd, code, mask, is_extended}, [&](Lock&) {
    return Model().SetFilter(hnd, code, mask, is_extended != 0);
  });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canReadWait(canHandle hnd, long* id, void* msg,
                                                       unsigned int* dlc, unsigned int* flag,
                                                       unsigned long* time, unsigned long timeout) {
  return Call<canStatus>(cansim::kReadWait, {hnd, timeout}, [&](Lock& lock) {
    return Model().ReadWait(lock, hnd, {id, msg, dlc, flag, time}, timeout);
  });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canWriteSync(canHandle hnd, unsigned long timeout) {
  // A frame leaves while canWrite runs, so there is never anything to wait for.
  return Call<canStatus>(cansim::kWriteSync, {hnd, timeout},
                         [&](Lock&) { return Model().Check(hnd); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canFlushReceiveQueue(canHandle hnd) {
  return Call<canStatus>(cansim::kFlushReceiveQueue, {hnd},
                         [&](Lock&) { return Model().FlushReceived(hnd); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL kvReadTimer(canHandle hnd, unsigned int* time) {
  return Call<canStatus>(cansim::kReadTimer, {hnd},
                         [&](Lock&) { return Model().ReadTimer(hnd, time); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL kvFlashLeds(canHandle hnd, int action, int timeout) {
  return Call<canStatus>(cansim::kFlashLeds, {hnd, action, timeout},
                         [&](Lock&) { return Model().Check(hnd); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canRequestBusStatistics(canHandle hnd) {
  return Call<canStatus>(cansim::kRequestBusStatistics, {hnd},
                         [&](Lock&) { return Model().Check(hnd); });
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canGetBusStatistics(canHandle hnd,
                                                               canBusStatistics* stat,
                                                               size_t bufsiz) {
  return Call<canStatus>(cansim::kGetBusStatistics, {hnd, bufsiz},
                         [&](Lock&) { return Model().Statistics(hnd, stat, bufsiz); });
}

// The exports keep the published signatures.
CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canReadStatus(canHandle hnd, unsigned long* flags) {
  return Call<canStatus>(cansim::kReadStatus, {hnd},
                         [&](Lock&) { return Model().ReadStatus(hnd, flags); });
}

static_assert(std::is_same_v<decltype(&canInitializeLibrary), canInitializeLibrary_t>);
static_assert(std::is_same_v<decltype(&canGetNumberOfChannels), canGetNumberOfChannels_t>);
static_assert(std::is_same_v<decltype(&canOpenChannel), canOpenChannel_t>);
static_assert(std::is_same_v<decltype(&canGetChannelData), canGetChannelData_t>);
static_assert(std::is_same_v<decltype(&canSetBusParams), canSetBusParams_t>);
static_assert(std::is_same_v<decltype(&canBusOn), canBusOn_t>);
static_assert(std::is_same_v<decltype(&canBusOff), canBusOff_t>);
static_assert(std::is_same_v<decltype(&canWrite), canWrite_t>);
static_assert(std::is_same_v<decltype(&canClose), canClose_t>);
static_assert(std::is_same_v<decltype(&canGetErrorText), canGetErrorText_t>);
static_assert(std::is_same_v<decltype(&canGetVersion), canGetVersion_t>);
static_assert(std::is_same_v<decltype(&canIoCtl), canIoCtl_t>);
static_assert(std::is_same_v<decltype(&canSetBusOutputControl), canSetBusOutputControl_t>);
static_assert(std::is_same_v<decltype(&canSetBusParamsFd), canSetBusParamsFd_t>);
static_assert(std::is_same_v<decltype(&canSetBusParamsC200), canSetBusParamsC200_t>);
static_assert(std::is_same_v<decltype(&canSetAcceptanceFilter), canSetAcceptanceFilter_t>);
static_assert(std::is_same_v<decltype(&canReadWait), canReadWait_t>);
static_assert(std::is_same_v<decltype(&canWriteSync), canWriteSync_t>);
static_assert(std::is_same_v<decltype(&canFlushReceiveQueue), canFlushReceiveQueue_t>);
static_assert(std::is_same_v<decltype(&kvReadTimer), kvReadTimer_t>);
static_assert(std::is_same_v<decltype(&kvFlashLeds), kvFlashLeds_t>);
static_assert(std::is_same_v<decltype(&canRequestBusStatistics), canRequestBusStatistics_t>);
static_assert(std::is_same_v<decltype(&canGetBusStatistics), canGetBusStatistics_t>);
static_assert(std::is_same_v<decltype(&canReadStatus), canReadStatus_t>);
