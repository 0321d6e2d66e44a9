#include "kvaser/canlib_model.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>
#include <string_view>
#include <utility>

#include "abi/le_bytes.h"
#include "core/clock.h"

namespace cansim {

namespace {

using namespace telpod::canlib_abi;

constexpr long kMaxStandardId = 0x7FF;
constexpr long kMaxExtendedId = 0x1FFFFFFF;
constexpr size_t kMaxHandles = 128;
constexpr unsigned int kMaxClassicDlc = 8;
constexpr unsigned int kMaxLargeDlc = 15;
constexpr size_t kReceiveQueueLimit = 4096;
constexpr unsigned long kForever = 0xFFFFFFFF;
constexpr std::string_view kChannelSuffix = " (channel ";

// CANlib names a channel "<device> (channel <n>)": "Kvaser Leaf Light v2
// (channel 0)" is channel 0 of a "Kvaser Leaf Light v2".
bool HasChannelSuffix(std::string_view name, size_t at) {
  return at != std::string_view::npos && name.back() == ')';
}

std::string_view Description(std::string_view name) {
  const size_t at = name.rfind(kChannelSuffix);
  return HasChannelSuffix(name, at) ? name.substr(0, at) : name;
}

uint32_t ChannelOnCard(std::string_view name) {
  const size_t at = name.rfind(kChannelSuffix);
  uint32_t number = 0;
  if (HasChannelSuffix(name, at)) {
    std::from_chars(name.data() + at + kChannelSuffix.size(), name.data() + name.size() - 1,
                    number);
  }
  return number;
}

canStatus PutText(std::string_view text, void* buffer, size_t size) {
  const size_t n = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  static_cast<char*>(buffer)[n] = '\0';
  return canOK;
}

// Channel numbers come as little-endian words of the item's width.
canStatus PutNumber(uint64_t value, size_t width, void* buffer, size_t size) {
  if (size < width) return canERR_PARAM;
  uint8_t bytes[kChannelNumberBytes];
  telpod::PutLe64(bytes, value);
  std::memcpy(buffer, bytes, width);
  return canOK;
}

// A one-byte switch handed to canIoCtl: 0 off, anything else on.
canStatus TakeSwitch(const void* buf, unsigned int size, bool& value) {
  if (buf == nullptr || size < 1) return canERR_PARAM;
  value = *static_cast<const uint8_t*>(buf) != 0;
  return canOK;
}

bool IsDriverType(unsigned int type) {
  return type == canDRIVER_OFF || type == canDRIVER_SILENT || type == canDRIVER_NORMAL ||
         type == canDRIVER_SELFRECEPTION;
}

void PutReceived(const ReadOut& out, uint32_t id, const uint8_t* data, unsigned int dlc,
                 unsigned int flags, unsigned long time) {
  if (out.id) *out.id = static_cast<long>(id);
  if (out.msg && !(flags & canMSG_RTR)) std::memcpy(out.msg, data, std::min(dlc, kMaxClassicDlc));
  if (out.dlc) *out.dlc = dlc;
  if (out.flag) *out.flag = flags;
  if (out.time) *out.time = time;
}

}  // namespace

void CanlibModel::Apply(const Config& config) {
  initialized_ = false;
  epoch_ns_ = NowNs(CLOCK_MONOTONIC);
  handles_.clear();
  channels_.clear();
  const size_t count =
      config.kvaser_count ? static_cast<size_t>(*config.kvaser_count) : config.channels.size();
  for (size_t ch = 0; ch < count; ++ch) {
    ChannelSpec setup;
    if (ch < config.channels.size()) {
      setup = config.channels[ch];
    } else {
      setup.name = "Kvaser Sim (channel " + std::to_string(ch) + ")";
    }
    channels_.push_back({setup, "kvaser" + std::to_string(ch), false, {}, LonelyBus(setup.bus)});
  }
}

canStatus CanlibModel::NumberOfChannels(int* count) const {
  if (!initialized_) return canERR_NOTINITIALIZED;
  if (count == nullptr) return canERR_PARAM;
  *count = static_cast<int>(channels_.size());
  return canOK;
}

canHandle CanlibModel::Open(int channel, int flags) {
  if (!initialized_) return canERR_NOTINITIALIZED;
  if (channel < 0 || static_cast<size_t>(channel) >= channels_.size()) return canERR_NOTFOUND;
  Channel& c = channels_[static_cast<size_t>(channel)];
  if (c.setup.open_fails) return canERR_HARDWARE;
  const bool init_taken = c.setup.held || c.init_access_taken;
  if ((flags & canOPEN_REQUIRE_INIT_ACCESS) && init_taken) return canERR_NO_ACCESS;
  auto slot =
      std::find_if(handles_.begin(), handles_.end(), [](const Handle& h) { return h.channel < 0; });
  if (slot == handles_.end()) {
    if (handles_.size() == kMaxHandles) return canERR_NOHANDLES;
    slot = handles_.insert(handles_.end(), Handle{});
  }
  *slot = Handle{};
  slot->channel = channel;
  slot->flags = flags;
  slot->init_access = !init_taken && !(flags & canOPEN_NO_INIT_ACCESS);
  if (slot->init_access) c.init_access_taken = true;
  c.bus.Open();
  Simulator::Get().shared_bus().Join(c.device_name);
  return static_cast<canHandle>(slot - handles_.begin());
}

const CanlibModel::Channel* CanlibModel::FindChannel(int channel) const {
  if (channel < 0 || static_cast<size_t>(channel) >= channels_.size()) return nullptr;
  return &channels_[static_cast<size_t>(channel)];
}

canStatus CanlibModel::ChannelData(int channel, int item, void* buffer, size_t size) const {
  if (!initialized_) return canERR_NOTINITIALIZED;
  const Channel* c = FindChannel(channel);
  if (c == nullptr) return canERR_NOTFOUND;
  if (buffer == nullptr || size == 0) return canERR_PARAM;
  const ChannelSpec& setup = c->setup;
  switch (item) {
    case canCHANNELDATA_CHANNEL_NAME:
      if (setup.name_status != canOK) return setup.name_status;
      return PutText(setup.name, buffer, size);
    case canCHANNELDATA_DEVDESCR_ASCII:
      return PutText(Description(setup.name), buffer, size);
    case canCHANNELDATA_CHAN_NO_ON_CARD:
      return PutNumber(ChannelOnCard(setup.name), sizeof(uint32_t), buffer, size);
    case canCHANNELDATA_CARD_SERIAL_NO:
      return PutNumber(setup.serial, kChannelNumberBytes, buffer, size);
    case canCHANNELDATA_CARD_FIRMWARE_REV:
      return PutNumber(setup.firmware, kChannelNumberBytes, buffer, size);
    case canCHANNELDATA_CARD_UPC_NO:
      return PutNumber(setup.upc, kChannelNumberBytes, buffer, size);
    default:
      return canERR_NOT_IMPLEMENTED;
  }
}

CanlibModel::Handle* CanlibModel::Find(canHandle h) {
  return const_cast<Handle*>(std::as_const(*this).Find(h));
}

const CanlibModel::Handle* CanlibModel::Find(canHandle h) const {
  if (h < 0 || static_cast<size_t>(h) >= handles_.size()) return nullptr;
  const Handle& handle = handles_[static_cast<size_t>(h)];
  return handle.channel >= 0 ? &handle : nullptr;
}

canStatus CanlibModel::Check(canHandle h) const {
  return Find(h) ? canOK : canERR_INVHANDLE;
}

canStatus CanlibModel::SetBusParams(canHandle h, long freq) {
  if (Find(h) == nullptr) return canERR_INVHANDLE;
  // Predefined rates are canBITRATE_10K .. canBITRATE_1M; others are in bit/s.
  if (freq == 0 || freq < canBITRATE_10K) return canERR_PARAM;
  return canOK;
}

canStatus CanlibModel::SetBus(canHandle h, bool on) {
  Handle* handle = Find(h);
  if (handle == nullptr) return canERR_INVHANDLE;
  handle->bus_on = on;
  return canOK;
}

canStatus CanlibModel::SetOutputControl(canHandle h, unsigned int driver_type) {
  if (Find(h) == nullptr) return canERR_INVHANDLE;
  return IsDriverType(driver_type) ? canOK : canERR_PARAM;
}

canStatus CanlibModel::SetFilter(canHandle h, unsigned int code, unsigned int mask, bool extended) {
  Handle* handle = Find(h);
  if (handle == nullptr) return canERR_INVHANDLE;
  (extended ? handle->extended : handle->standard) = Filter{code, mask};
  return canOK;
}

canStatus CanlibModel::IoCtl(canHandle h, unsigned int func, void* buf, unsigned int size) {
  Handle* handle = Find(h);
  if (handle == nullptr) return canERR_INVHANDLE;
  uint32_t& scale = handle->timer_scale_us;
  switch (func) {
    case canIOCTL_SET_TIMER_SCALE: {  // a 32-bit word of microseconds per tick
      uint32_t us = 0;
      if (buf == nullptr || size < sizeof us) return canERR_PARAM;
      std::memcpy(&us, buf, sizeof us);
      if (us == 0) return canERR_PARAM;
      scale = us;
      return canOK;
    }
    case canIOCTL_GET_TIMER_SCALE:
      if (buf == nullptr || size < sizeof scale) return canERR_PARAM;
      std::memcpy(buf, &scale, sizeof scale);
      return canOK;
    case canIOCTL_SET_LOCAL_TXECHO:
      return TakeSwitch(buf, size, handle->tx_echo);
    case canIOCTL_SET_LOCAL_TXACK:
      return TakeSwitch(buf, size, handle->local_txack);
    case canIOCTL_FLUSH_RX_BUFFER:
      return FlushReceived(h);
    case canIOCTL_FLUSH_TX_BUFFER:
      return canOK;  // a frame leaves while canWrite runs: nothing waits to be sent
    default:
      return canERR_NOT_IMPLEMENTED;
  }
}

canStatus CanlibModel::Write(canHandle h, long id, const void* msg, unsigned int dlc,
                             unsigned int flag) {
  Handle* handle = Find(h);
  if (handle == nullptr) return canERR_INVHANDLE;
  const unsigned int max_dlc =
      (handle->flags & canOPEN_ACCEPT_LARGE_DLC) ? kMaxLargeDlc : kMaxClassicDlc;
  const bool extended = (flag & canMSG_EXT) != 0;
  const bool remote = (flag & canMSG_RTR) != 0;
  if (dlc > max_dlc || (msg == nullptr && dlc > 0 && !remote) ||
      (extended && (flag & canMSG_STD)) || id < 0 ||
      id > (extended ? kMaxExtendedId : kMaxStandardId)) {
    return canERR_PARAM;
  }
  Received frame;
  frame.id = static_cast<uint32_t>(id);
  frame.dlc = dlc;
  frame.flags = (extended ? canMSG_EXT : canMSG_STD) | (remote ? canMSG_RTR : 0);
  // Reads the bytes the frame carries and no more: the caller's buffer may
  // end right there. A remote frame carries none.
  const size_t carried = remote ? 0 : std::min(dlc, kMaxClassicDlc);
  if (carried > 0) std::memcpy(frame.data.data(), msg, carried);
  Simulator::Get().KeepRecord(kWrite, frame.data.data(), carried);
  Channel& c = channels_[static_cast<size_t>(handle->channel)];
  if (c.setup.write_status != canOK) return c.setup.write_status;
  if (!c.bus.Take()) return canERR_TXBUFOFL;
  frame.monotonic_ns = Simulator::Get().Capture({.device_name = c.device_name,
                                                 .device = handle->channel,
                                                 .id = frame.id,
                                                 .extended = extended,
                                                 .remote = remote,
                                                 .dlc = static_cast<uint8_t>(dlc),
                                                 .data = frame.data.data(),
                                                 .raw = frame.data.data(),
                                                 .raw_size = carried});
  Count(c.statistics, extended, remote);
  if (handle->tx_echo) {
    Broadcast(handle->channel, h, frame);
    Simulator::Get().shared_bus().Send(
        c.device_name,
        {frame.id, extended, remote, static_cast<uint8_t>(dlc), frame.data, frame.monotonic_ns});
  }
  return canOK;
}

void CanlibModel::Receive(std::string_view bus, const BusFrame& frame) {
  Lock lock = Hold();
  for (size_t ch = 0; ch < channels_.size(); ++ch) {
    if (channels_[ch].device_name != bus) continue;
    Count(channels_[ch].statistics, frame.extended, frame.remote);
    Received received;
    received.id = frame.id;
    received.data = frame.data;
    received.dlc = frame.dlc;
    received.flags = (frame.extended ? canMSG_EXT : canMSG_STD) | (frame.remote ? canMSG_RTR : 0);
    received.monotonic_ns = frame.monotonic_ns;
    Broadcast(static_cast<int>(ch), -1, received);
  }
}

void CanlibModel::Count(canBusStatistics& statistics, bool extended, bool remote) {
  if (extended) {
    ++(remote ? statistics.extRemote : statistics.extData);
  } else {
    ++(remote ? statistics.stdRemote : statistics.stdData);
  }
}

// The other handles on the channel that are on the bus receive the frame,
// each through its own acceptance filter and into its own queue; a full
// queue loses the frame and says so on the next one it keeps.
void CanlibModel::Broadcast(int channel, canHandle from, const Received& frame) {
  const bool extended = (frame.flags & canMSG_EXT) != 0;
  bool delivered = false;
  for (size_t i = 0; i < handles_.size(); ++i) {
    Handle& to = handles_[i];
    if (static_cast<canHandle>(i) == from || to.channel != channel || !to.bus_on) continue;
    if (!(extended ? to.extended : to.standard).Passes(frame.id)) continue;
    if (to.received.size() >= kReceiveQueueLimit) {
      to.overrun = true;
      continue;
    }
    Received& kept = to.received.emplace_back(frame);
    if (to.local_txack) kept.flags |= canMSG_LOCAL_TXACK;
    if (std::exchange(to.overrun, false)) kept.flags |= canMSGERR_SW_OVERRUN;
    delivered = true;
  }
  if (delivered) arrived_.notify_all();
}

unsigned long CanlibModel::Ticks(const Handle& handle, int64_t monotonic_ns) const {
  const int64_t tick_ns = static_cast<int64_t>(handle.timer_scale_us) * 1000;
  return static_cast<unsigned long>((monotonic_ns - epoch_ns_) / tick_ns);
}

canStatus CanlibModel::ReadWait(Lock& lock, canHandle h, const ReadOut& out,
                                unsigned long timeout_ms) {
  const auto ready = [&] {
    const Handle* handle = Find(h);
    return handle == nullptr || !handle->received.empty();
  };
  if (timeout_ms >= kForever) {
    arrived_.wait(lock, ready);
  } else {
    arrived_.wait_for(lock, std::chrono::milliseconds(timeout_ms), ready);
  }
  Handle* handle = Find(h);
  if (handle == nullptr) return canERR_INVHANDLE;
  if (handle->received.empty()) return canERR_NOMSG;
  const Received frame = handle->received.front();
  handle->received.pop_front();
  PutReceived(out, frame.id, frame.data.data(), frame.dlc, frame.flags,
              Ticks(*handle, frame.monotonic_ns));
  return canOK;
}

canStatus CanlibModel::FlushReceived(canHandle h) {
  Handle* handle = Find(h);
  if (handle == nullptr) return canERR_INVHANDLE;
  handle->received.clear();
  handle->overrun = false;
  return canOK;
}

canStatus CanlibModel::ReadTimer(canHandle h, unsigned int* time) const {
  const Handle* handle = Find(h);
  if (handle == nullptr) return canERR_INVHANDLE;
  if (time == nullptr) return canERR_PARAM;
  *time = static_cast<unsigned int>(Ticks(*handle, NowNs(CLOCK_MONOTONIC)));
  return canOK;
}

canStatus CanlibModel::Statistics(canHandle h, canBusStatistics* out, size_t size) const {
  const Handle* handle = Find(h);
  if (handle == nullptr) return canERR_INVHANDLE;
  if (out == nullptr || size < sizeof *out) return canERR_PARAM;
  *out = channels_[static_cast<size_t>(handle->channel)].statistics;
  return canOK;
}

canStatus CanlibModel::ReadStatus(canHandle h, unsigned long* flags) const {
  const Handle* handle = Find(h);
  if (handle == nullptr) return canERR_INVHANDLE;
  if (flags == nullptr) return canERR_PARAM;
  const auto condition = channels_[static_cast<size_t>(handle->channel)].bus.condition();
  if (!handle->bus_on || condition == BusCondition::BusOff) {
    *flags = canSTAT_BUS_OFF;
  } else if (condition == BusCondition::ErrorPassive) {
    *flags = canSTAT_ERROR_PASSIVE | canSTAT_ERROR_WARNING | canSTAT_TX_PENDING;
  } else {
    *flags = canSTAT_ERROR_ACTIVE;
  }
  return canOK;
}

canStatus CanlibModel::Close(canHandle h) {
  Handle* handle = Find(h);
  if (handle == nullptr) return canERR_INVHANDLE;
  if (handle->init_access) {
    channels_[static_cast<size_t>(handle->channel)].init_access_taken = false;
  }
  *handle = Handle{};
  arrived_.notify_all();  // a reader waiting on it gives up
  Simulator::Get().FlushLog();
  return canOK;
}

CanlibModel& Model() {
  static CanlibModel model;
  return model;
}

}  // namespace cansim
