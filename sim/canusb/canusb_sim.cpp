// libcanusbdrv.so: simulated CANUSB adapters behind the maker's entry points.
#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "abi/canusb_abi.h"
#include "abi/le_bytes.h"
#include "core/entry_points.h"
#include "core/export.h"
#include "core/lonely_bus.h"
#include "core/simulator.h"

namespace {

using namespace telpod::canusb_abi;
using cansim::Simulator;

enum Entry : size_t {
  kOpen,
  kClose,
  kWrite,
  kVersionInfo,
  kGetFirst,
  kGetNext,
  kStatus,
  kGetStatistics
};

constexpr size_t kVersionRoom = 64;  // the caller's buffer: 63 characters and a NUL
constexpr uint32_t kMaxStandardId = 0x7FF;
constexpr uint32_t kMaxExtendedId = 0x1FFFFFFF;

bool IsBitRateText(const char* text) {
#define CANSIM_BITRATE_MATCH(name, value) \
  if (std::strcmp(text, value) == 0) return true;
  TELPOD_CANUSB_BITRATES(CANSIM_BITRATE_MATCH)
#undef CANSIM_BITRATE_MATCH
  return false;
}

struct Adapter {
  cansim::AdapterSpec setup;
  std::string device_name;
  bool open = false;
  cansim::LonelyBus bus;
  CANUsbStatistics statistics{};  // since the open
};

class CanusbModel final : public cansim::FamilyModel {
 public:
  std::span<const char* const> EntryPoints() const override { return cansim::kCanusbEntryPoints; }

  void Apply(const cansim::Config& config) override {
    adapters_.clear();
    for (const auto& setup : config.adapters) {
      adapters_.push_back({setup, "canusb" + std::to_string(adapters_.size()), false,
                           cansim::LonelyBus(setup.bus)});
    }
    cursor_ = 0;
  }

  // Reports adapter `cursor_` and moves on; the result is the number of
  // adapters not yet reported, counting this one, unless configured.
  int Report(char* serial, int size) {
    if (serial == nullptr || size <= 0) return ERROR_CANUSB_INVALID_PARAM;
    serial[0] = '\0';
    if (cursor_ >= adapters_.size()) return 0;
    const Adapter& a = adapters_[cursor_];
    const size_t n = std::min(a.setup.serial.size(), static_cast<size_t>(size - 1));
    std::memcpy(serial, a.setup.serial.data(), n);
    serial[n] = '\0';
    const auto left = static_cast<int>(adapters_.size() - cursor_);
    ++cursor_;
    return a.setup.report.value_or(left);
  }
  int First(char* serial, int size) {
    cursor_ = 0;
    return Report(serial, size);
  }

  canusb_handle Open(const char* serial, const char* bitrate) {
    if (bitrate == nullptr || !IsBitRateText(bitrate)) return ERROR_CANUSB_INVALID_PARAM;
    for (size_t i = 0; i < adapters_.size(); ++i) {
      Adapter& a = adapters_[i];
      // No serial number: the first adapter that is free.
      if (serial ? a.setup.serial != serial : a.open) continue;
      if (a.open || a.setup.open_fails) return ERROR_CANUSB_OPEN_SUBSYSTEM;
      a.open = true;
      a.bus.Open();
      a.statistics = {};
      return static_cast<canusb_handle>(i + 1);
    }
    return ERROR_CANUSB_NO_DEVICE;
  }

  Adapter* Find(canusb_handle h) {
    if (h < 1 || static_cast<size_t>(h) > adapters_.size()) return nullptr;
    Adapter& a = adapters_[static_cast<size_t>(h - 1)];
    return a.open ? &a : nullptr;
  }

  int Close(canusb_handle h) {
    Adapter* a = Find(h);
    if (a == nullptr) return ERROR_CANUSB_NOT_OPEN;
    a->open = false;
    Simulator::Get().FlushLog();
    return a->setup.close_result;
  }

  int Version(canusb_handle h, char* out) {
    const Adapter* a = Find(h);
    if (a == nullptr) return ERROR_CANUSB_NOT_OPEN;
    if (out == nullptr) return ERROR_CANUSB_INVALID_PARAM;
    if (a->setup.version_result < 1) return a->setup.version_result;
    const size_t n = std::min(a->setup.version.size(), kVersionRoom - 1);
    std::memcpy(out, a->setup.version.data(), n);
    out[n] = '\0';
    return a->setup.version_result;
  }

  int Write(canusb_handle h, const CANMsg* msg) {
    Adapter* a = Find(h);
    if (a == nullptr) return ERROR_CANUSB_NOT_OPEN;
    if (msg == nullptr) return ERROR_CANUSB_INVALID_PARAM;
    uint8_t record[kFrameBufferBytes];
    std::memcpy(record, msg, sizeof record);
    Simulator::Get().KeepRecord(kWrite, record, sizeof record);
    const uint32_t id = telpod::GetLe32(record);
    const uint8_t flags = record[8];
    const uint8_t len = record[9];
    const bool extended = (flags & CANMSG_EXTENDED) != 0;
    if (len > 8 || id > (extended ? kMaxExtendedId : kMaxStandardId)) {
      return ERROR_CANUSB_INVALID_PARAM;
    }
    if (a->setup.write_result != ERROR_CANUSB_OK) return a->setup.write_result;
    if (!a->bus.Take()) return ERROR_CANUSB_TX_FIFO_FULL;
    ++a->statistics.cntTransmitFrames;
    a->statistics.cntTransmitData += len;
    Simulator::Get().Capture({.device_name = a->device_name,
                              .device = static_cast<int32_t>(h - 1),
                              .id = id,
                              .extended = extended,
                              .remote = (flags & CANMSG_RTR) != 0,
                              .dlc = len,
                              .data = record + 10,
                              .raw = record,
                              .raw_size = sizeof record});
    return ERROR_CANUSB_OK;
  }

  // The flags an SJA1000 behind the adapter latches on its way to the state.
  int Status(canusb_handle h) {
    const Adapter* a = Find(h);
    if (a == nullptr) return ERROR_CANUSB_NOT_OPEN;
    constexpr int kPassive =
        CANSTATUS_TRANSMIT_FIFO_FULL | CANSTATUS_ERROR_WARNING | CANSTATUS_ERROR_PASSIVE;
    switch (a->bus.condition()) {
      case cansim::BusCondition::BusOff:
        return kPassive | CANSTATUS_BUS_ERROR;
      case cansim::BusCondition::ErrorPassive:
        return kPassive;
      case cansim::BusCondition::ErrorActive:
        break;
    }
    return 0;
  }

  // A controller that went off the bus has counted one bus-off; one left
  // error passive, one warning.
  int Statistics(canusb_handle h, CANUsbStatistics* out) {
    const Adapter* a = Find(h);
    if (a == nullptr) return ERROR_CANUSB_NOT_OPEN;
    if (out == nullptr) return ERROR_CANUSB_INVALID_PARAM;
    *out = a->statistics;
    out->cntBusOff = a->bus.condition() == cansim::BusCondition::BusOff ? 1 : 0;
    out->cntBusWarnings = a->bus.condition() == cansim::BusCondition::ErrorActive ? 0 : 1;
    return ERROR_CANUSB_OK;
  }

 private:
  std::vector<Adapter> adapters_;
  size_t cursor_ = 0;
};

CanusbModel& Model() {
  static CanusbModel model;
  return model;
}

}  // namespace

cansim::FamilyModel& cansim::ThisFamily() {
  return Model();
}

CANSIM_EXPORT canusb_handle TELPOD_DRIVER_CALL canusb_Open(const char* serial, const char* bitrate,
                                                           uint32_t acceptance_code,
                                                           uint32_t acceptance_mask,
                                                           uint32_t flags) {
  auto& sim = Simulator::Get();
  if (auto r = sim.Enter(kOpen, {serial, bitrate, acceptance_code, acceptance_mask, flags})) {
    return static_cast<canusb_handle>(*r);
  }
  return Model().Open(serial, bitrate);
}

CANSIM_EXPORT int TELPOD_DRIVER_CALL canusb_Close(canusb_handle h) {
  if (auto r = Simulator::Get().Enter(kClose, {h})) return static_cast<int>(*r);
  return Model().Close(h);
}

CANSIM_EXPORT int TELPOD_DRIVER_CALL canusb_Write(canusb_handle h, CANMsg* msg) {
  if (auto r = Simulator::Get().Enter(kWrite, {h})) return static_cast<int>(*r);
  return Model().Write(h, msg);
}

CANSIM_EXPORT int TELPOD_DRIVER_CALL canusb_VersionInfo(canusb_handle h, char* verinfo) {
  if (auto r = Simulator::Get().Enter(kVersionInfo, {h})) return static_cast<int>(*r);
  return Model().Version(h, verinfo);
}

CANSIM_EXPORT int TELPOD_DRIVER_CALL canusb_getFirstAdapter(char* serial, int size) {
  if (auto r = Simulator::Get().Enter(kGetFirst, {size})) return static_cast<int>(*r);
  return Model().First(serial, size);
}

CANSIM_EXPORT int TELPOD_DRIVER_CALL canusb_getNextAdapter(char* serial, int size) {
  if (auto r = Simulator::Get().Enter(kGetNext, {size})) return static_cast<int>(*r);
  return Model().Report(serial, size);
}

CANSIM_EXPORT int TELPOD_DRIVER_CALL canusb_Status(canusb_handle h) {
  if (auto r = Simulator::Get().Enter(kStatus, {h})) return static_cast<int>(*r);
  return Model().Status(h);
}

CANSIM_EXPORT int TELPOD_DRIVER_CALL canusb_GetStatistics(canusb_handle h,
                                                          CANUsbStatistics* statistics) {
  if (auto r = Simulator::Get().Enter(kGetStatistics, {h})) return static_cast<int>(*r);
  return Model().Statistics(h, statistics);
}

// The exports keep the published signatures the program binds to.
static_assert(std::is_same_v<decltype(&canusb_Open), canusb_Open_t>);
static_assert(std::is_same_v<decltype(&canusb_Close), canusb_Close_t>);
static_assert(std::is_same_v<decltype(&canusb_Write), canusb_Write_t>);
static_assert(std::is_same_v<decltype(&canusb_VersionInfo), canusb_VersionInfo_t>);
static_assert(std::is_same_v<decltype(&canusb_getFirstAdapter), canusb_getFirstAdapter_t>);
static_assert(std::is_same_v<decltype(&canusb_getNextAdapter), canusb_getNextAdapter_t>);
static_assert(std::is_same_v<decltype(&canusb_Status), canusb_Status_t>);
static_assert(std::is_same_v<decltype(&canusb_GetStatistics), canusb_GetStatistics_t>);
