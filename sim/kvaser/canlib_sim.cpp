// libcanlib.so.1: simulated Kvaser channels behind CANlib's entry points.
#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "abi/canlib_abi.h"
#include "abi/le_bytes.h"
#include "core/entry_points.h"
#include "core/export.h"
#include "core/lonely_bus.h"
#include "core/simulator.h"

namespace {

using namespace telpod::canlib_abi;
using cansim::Simulator;

enum Entry : size_t {
  kInitializeLibrary,
  kGetNumberOfChannels,
  kOpenChannel,
  kGetChannelData,
  kSetBusParams,
  kBusOn,
  kBusOff,
  kWrite,
  kClose,
  kReadStatus
};

constexpr long kMaxStandardId = 0x7FF;
constexpr long kMaxExtendedId = 0x1FFFFFFF;
constexpr size_t kMaxHandles = 128;
constexpr unsigned kMaxClassicDlc = 8;
constexpr unsigned kMaxLargeDlc = 15;

struct Channel {
  cansim::ChannelSpec setup;
  std::string device_name;
  bool init_access_taken = false;  // by a handle of this program
  cansim::LonelyBus bus;
};

struct Handle {
  int channel = -1;  // -1: free
  int flags = 0;
  bool init_access = false;
  bool bus_on = false;
  long freq = 0;
};

class CanlibModel final : public cansim::FamilyModel {
 public:
  std::span<const char* const> EntryPoints() const override { return cansim::kCanlibEntryPoints; }

  void Apply(const cansim::Config& config) override {
    initialized_ = false;
    handles_.clear();
    channels_.clear();
    const size_t count =
        config.kvaser_count ? static_cast<size_t>(*config.kvaser_count) : config.channels.size();
    for (size_t ch = 0; ch < count; ++ch) {
      cansim::ChannelSpec setup;
      if (ch < config.channels.size()) {
        setup = config.channels[ch];
      } else {
        setup.name = "Kvaser Sim (channel " + std::to_string(ch) + ")";
      }
      channels_.push_back(
          {setup, "kvaser" + std::to_string(ch), false, cansim::LonelyBus(setup.bus)});
    }
  }

  void Initialize() { initialized_ = true; }

  canStatus NumberOfChannels(int* count) const {
    if (!initialized_) return canERR_NOTINITIALIZED;
    if (count == nullptr) return canERR_PARAM;
    *count = static_cast<int>(channels_.size());
    return canOK;
  }

  canHandle Open(int channel, int flags) {
    if (!initialized_) return canERR_NOTINITIALIZED;
    if (channel < 0 || static_cast<size_t>(channel) >= channels_.size()) return canERR_NOTFOUND;
    Channel& c = channels_[static_cast<size_t>(channel)];
    if (c.setup.open_fails) return canERR_HARDWARE;
    const bool init_taken = c.setup.held || c.init_access_taken;
    if ((flags & canOPEN_REQUIRE_INIT_ACCESS) && init_taken) return canERR_NO_ACCESS;
    auto slot = std::find_if(handles_.begin(), handles_.end(),
                             [](const Handle& h) { return h.channel < 0; });
    if (slot == handles_.end()) {
      if (handles_.size() == kMaxHandles) return canERR_NOHANDLES;
      slot = handles_.insert(handles_.end(), Handle{});
    }
    *slot = Handle{channel, flags, !init_taken && !(flags & canOPEN_NO_INIT_ACCESS), false, 0};
    if (slot->init_access) c.init_access_taken = true;
    c.bus.Open();
    return static_cast<canHandle>(slot - handles_.begin());
  }

  canStatus ChannelData(int channel, int item, void* buffer, size_t size) const {
    if (!initialized_) return canERR_NOTINITIALIZED;
    if (channel < 0 || static_cast<size_t>(channel) >= channels_.size()) return canERR_NOTFOUND;
    if (buffer == nullptr || size == 0) return canERR_PARAM;
    const cansim::ChannelSpec& setup = channels_[static_cast<size_t>(channel)].setup;
    uint64_t number = 0;
    switch (item) {
      case canCHANNELDATA_CHANNEL_NAME: {
        if (setup.name_status != canOK) return setup.name_status;
        const size_t n = std::min(setup.name.size(), size - 1);
        std::memcpy(buffer, setup.name.data(), n);
        static_cast<char*>(buffer)[n] = '\0';
        return canOK;
      }
      case canCHANNELDATA_CARD_SERIAL_NO:
        number = setup.serial;
        break;
      case canCHANNELDATA_CARD_FIRMWARE_REV:
        number = setup.firmware;
        break;
      case canCHANNELDATA_CARD_UPC_NO:
        number = setup.upc;
        break;
      default:
        return canERR_NOT_IMPLEMENTED;
    }
    if (size < kChannelNumberBytes) return canERR_PARAM;
    uint8_t bytes[kChannelNumberBytes];
    telpod::PutLe64(bytes, number);
    std::memcpy(buffer, bytes, sizeof bytes);
    return canOK;
  }

  Handle* Find(canHandle h) {
    if (h < 0 || static_cast<size_t>(h) >= handles_.size()) return nullptr;
    Handle& handle = handles_[static_cast<size_t>(h)];
    return handle.channel >= 0 ? &handle : nullptr;
  }

  canStatus SetBusParams(canHandle h, long freq) {
    Handle* handle = Find(h);
    if (handle == nullptr) return canERR_INVHANDLE;
    // Predefined rates are canBITRATE_10K .. canBITRATE_1M; others are in bit/s.
    if (freq == 0 || freq < canBITRATE_10K) return canERR_PARAM;
    handle->freq = freq;
    return canOK;
  }

  canStatus SetBus(canHandle h, bool on) {
    Handle* handle = Find(h);
    if (handle == nullptr) return canERR_INVHANDLE;
    handle->bus_on = on;
    return canOK;
  }

  canStatus Write(canHandle h, long id, const void* msg, unsigned dlc, unsigned flag) {
    Handle* handle = Find(h);
    if (handle == nullptr) return canERR_INVHANDLE;
    const unsigned max_dlc =
        (handle->flags & canOPEN_ACCEPT_LARGE_DLC) ? kMaxLargeDlc : kMaxClassicDlc;
    const bool extended = (flag & canMSG_EXT) != 0;
    if (dlc > max_dlc || (msg == nullptr && dlc > 0) || (extended && (flag & canMSG_STD)) ||
        id < 0 || id > (extended ? kMaxExtendedId : kMaxStandardId)) {
      return canERR_PARAM;
    }
    // Reads the eight bytes a classic frame can carry, whatever the length.
    uint8_t data[8] = {};
    if (msg != nullptr) std::memcpy(data, msg, sizeof data);
    Simulator::Get().KeepRecord(kWrite, data, sizeof data);
    Channel& c = channels_[static_cast<size_t>(handle->channel)];
    if (c.setup.write_status != canOK) return c.setup.write_status;
    if (!c.bus.Take()) return canERR_TXBUFOFL;
    Simulator::Get().Capture({c.device_name, handle->channel, static_cast<uint32_t>(id), extended,
                              static_cast<uint8_t>(dlc), data, data, sizeof data});
    return canOK;
  }

  // A channel not on the bus reads as off it, as with CANlib.
  canStatus ReadStatus(canHandle h, unsigned long* flags) {
    Handle* handle = Find(h);
    if (handle == nullptr) return canERR_INVHANDLE;
    if (flags == nullptr) return canERR_PARAM;
    const auto condition = channels_[static_cast<size_t>(handle->channel)].bus.condition();
    if (!handle->bus_on || condition == cansim::BusCondition::BusOff) {
      *flags = canSTAT_BUS_OFF;
    } else if (condition == cansim::BusCondition::ErrorPassive) {
      *flags = canSTAT_ERROR_PASSIVE | canSTAT_ERROR_WARNING | canSTAT_TX_PENDING;
    } else {
      *flags = canSTAT_ERROR_ACTIVE;
    }
    return canOK;
  }

  canStatus Close(canHandle h) {
    Handle* handle = Find(h);
    if (handle == nullptr) return canERR_INVHANDLE;
    if (handle->init_access) {
      channels_[static_cast<size_t>(handle->channel)].init_access_taken = false;
    }
    *handle = Handle{};
    Simulator::Get().FlushLog();
    return canOK;
  }

 private:
  bool initialized_ = false;
  std::vector<Channel> channels_;
  std::vector<Handle> handles_;
};

CanlibModel& Model() {
  static CanlibModel model;
  return model;
}

}  // namespace

cansim::FamilyModel& cansim::ThisFamily() {
  return Model();
}

CANSIM_EXPORT void TELPOD_DRIVER_CALL canInitializeLibrary(void) {
  if (Simulator::Get().Enter(kInitializeLibrary, {})) return;
  Model().Initialize();
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canGetNumberOfChannels(int* channelCount) {
  if (auto r = Simulator::Get().Enter(kGetNumberOfChannels, {})) return static_cast<canStatus>(*r);
  return Model().NumberOfChannels(channelCount);
}

CANSIM_EXPORT canHandle TELPOD_DRIVER_CALL canOpenChannel(int channel, int flags) {
  if (auto r = Simulator::Get().Enter(kOpenChannel, {channel, flags})) {
    return static_cast<canHandle>(*r);
  }
  return Model().Open(channel, flags);
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canGetChannelData(int channel, int item, void* buffer,
                                                             size_t bufsize) {
  if (auto r = Simulator::Get().Enter(kGetChannelData, {channel, item, bufsize})) {
    return static_cast<canStatus>(*r);
  }
  return Model().ChannelData(channel, item, buffer, bufsize);
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canSetBusParams(canHandle hnd, long freq,
                                                           unsigned int tseg1, unsigned int tseg2,
                                                           unsigned int sjw, unsigned int noSamp,
                                                           unsigned int syncmode) {
  if (auto r =
          Simulator::Get().Enter(kSetBusParams, {hnd, freq, tseg1, tseg2, sjw, noSamp, syncmode})) {
    return static_cast<canStatus>(*r);
  }
  return Model().SetBusParams(hnd, freq);
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canBusOn(canHandle hnd) {
  if (auto r = Simulator::Get().Enter(kBusOn, {hnd})) return static_cast<canStatus>(*r);
  return Model().SetBus(hnd, true);
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canBusOff(canHandle hnd) {
  if (auto r = Simulator::Get().Enter(kBusOff, {hnd})) return static_cast<canStatus>(*r);
  return Model().SetBus(hnd, false);
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canWrite(canHandle hnd, long id, void* msg,
                                                    unsigned int dlc, unsigned int flag) {
  if (auto r = Simulator::Get().Enter(kWrite, {hnd, id, dlc, flag})) {
    return static_cast<canStatus>(*r);
  }
  return Model().Write(hnd, id, msg, dlc, flag);
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canClose(canHandle hnd) {
  if (auto r = Simulator::Get().Enter(kClose, {hnd})) return static_cast<canStatus>(*r);
  return Model().Close(hnd);
}

CANSIM_EXPORT canStatus TELPOD_DRIVER_CALL canReadStatus(canHandle hnd, unsigned long* flags) {
  if (auto r = Simulator::Get().Enter(kReadStatus, {hnd})) return static_cast<canStatus>(*r);
  return Model().ReadStatus(hnd, flags);
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
static_assert(std::is_same_v<decltype(&canReadStatus), canReadStatus_t>);
