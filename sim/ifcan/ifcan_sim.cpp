// libIFCan.so: simulated Interface boards behind the maker's entry points.
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "abi/ifcan_abi.h"
#include "abi/le_bytes.h"
#include "core/entry_points.h"
#include "core/export.h"
#include "core/lonely_bus.h"
#include "core/simulator.h"

namespace {

using namespace telpod::ifcan_abi;
using cansim::Simulator;
using telpod::GetLe32;
using telpod::PutLe32;

enum Entry : size_t {
  kOpenPort,
  kClosePort,
  kGetPortInformation,
  kGetConfig,
  kSetConfig,
  kActivate,
  kDeactivate,
  kSendMessage
};

constexpr uint32_t kMaxStandardId = 0x7FF;
constexpr uint32_t kMaxExtendedId = 0x1FFFFFFF;
constexpr uint32_t kMaxFramesPerCall = 64;

struct Board {
  cansim::BoardSpec setup;
  std::string device_name;
  std::array<uint32_t, 7> config{};
  bool open = false;
  bool active = false;
  cansim::LonelyBus bus;
};

// "IFCAN12" -> 12; 0 for anything else.
int32_t PortNumber(const char* name) {
  const std::string_view n(name);
  const std::string_view prefix(kPortPrefix);
  if (n.substr(0, prefix.size()) != prefix) return 0;
  int32_t port = 0;
  const char* first = n.data() + prefix.size();
  const auto [end, ec] = std::from_chars(first, n.data() + n.size(), port);
  if (ec != std::errc() || end != n.data() + n.size() || first == end) return 0;
  return port;
}

class IfCanModel final : public cansim::FamilyModel {
 public:
  std::span<const char* const> EntryPoints() const override { return cansim::kIfCanEntryPoints; }

  void Apply(const cansim::Config& config) override {
    boards_.clear();
    for (const auto& setup : config.boards) {
      boards_.push_back({setup, "ifcan" + std::to_string(setup.port), setup.config, false, false,
                         cansim::LonelyBus(setup.bus)});
    }
  }

  int32_t Open(const char* name) {
    const int32_t port = name ? PortNumber(name) : 0;
    for (size_t i = 0; i < boards_.size(); ++i) {
      Board& b = boards_[i];
      if (b.setup.port != port) continue;
      if (b.open || b.setup.open_fails) return kNoHandle;
      b.open = true;
      b.active = false;
      b.config = b.setup.config;
      b.bus.Open();
      return static_cast<int32_t>(i + 1);
    }
    return kNoHandle;
  }

  Board* Find(int32_t handle) {
    if (handle < 1 || static_cast<size_t>(handle) > boards_.size()) return nullptr;
    Board& b = boards_[static_cast<size_t>(handle - 1)];
    return b.open ? &b : nullptr;
  }

  uint32_t Close(int32_t handle) {
    Board* b = Find(handle);
    if (b == nullptr) return IFCAN_ERROR_INVALID_HANDLE;
    b->open = b->active = false;
    Simulator::Get().FlushLog();
    return b->setup.close_status;
  }

  uint32_t Information(int32_t handle, void* info) {
    const Board* b = Find(handle);
    if (b == nullptr) return IFCAN_ERROR_INVALID_HANDLE;
    if (info == nullptr) return IFCAN_ERROR_INVALID_PARAMETER;
    if (b->setup.info_status != IFCAN_ERROR_SUCCESS) return b->setup.info_status;
    uint8_t record[kPortInformationBytes];
    for (size_t i = 0; i < kPortInformationWords; ++i) PutLe32(record + 4 * i, b->setup.info[i]);
    std::memcpy(info, record, sizeof record);
    return IFCAN_ERROR_SUCCESS;
  }

  uint32_t GetConfig(int32_t handle, void* config) {
    const Board* b = Find(handle);
    if (b == nullptr) return IFCAN_ERROR_INVALID_HANDLE;
    if (config == nullptr) return IFCAN_ERROR_INVALID_PARAMETER;
    if (b->setup.getconfig_status != IFCAN_ERROR_SUCCESS) return b->setup.getconfig_status;
    uint8_t record[kConfigBytes];
    for (size_t i = 0; i < b->config.size(); ++i) PutLe32(record + 4 * i, b->config[i]);
    std::memcpy(config, record, sizeof record);
    Simulator::Get().KeepRecord(kGetConfig, record, sizeof record);
    return IFCAN_ERROR_SUCCESS;
  }

  uint32_t SetConfig(int32_t handle, const void* config) {
    Board* b = Find(handle);
    if (b == nullptr) return IFCAN_ERROR_INVALID_HANDLE;
    if (config == nullptr) return IFCAN_ERROR_INVALID_PARAMETER;
    if (b->active) return IFCAN_ERROR_NOW_SENDING;
    uint8_t record[kConfigBytes];
    std::memcpy(record, config, sizeof record);
    Simulator::Get().KeepRecord(kSetConfig, record, sizeof record);
    for (size_t i = 0; i < b->config.size(); ++i) b->config[i] = GetLe32(record + 4 * i);
    return IFCAN_ERROR_SUCCESS;
  }

  uint32_t SetActive(int32_t handle, bool active) {
    Board* b = Find(handle);
    if (b == nullptr) return IFCAN_ERROR_INVALID_HANDLE;
    b->active = active;
    return IFCAN_ERROR_SUCCESS;
  }

  uint32_t Send(int32_t handle, const void* frames, uint32_t count) {
    Board* b = Find(handle);
    if (b == nullptr) return IFCAN_ERROR_INVALID_HANDLE;
    if (frames == nullptr || count == 0 || count > kMaxFramesPerCall) {
      return IFCAN_ERROR_INVALID_PARAMETER;
    }
    const auto* bytes = static_cast<const uint8_t*>(frames);
    for (uint32_t n = 0; n < count; ++n) {
      uint8_t record[kFrameBytes];
      std::memcpy(record, bytes + n * kFrameBytes, sizeof record);
      Simulator::Get().KeepRecord(kSendMessage, record, sizeof record);
      const uint32_t length = GetLe32(record + kFrameLengthOffset);
      const uint32_t word = GetLe32(record + kFrameIdOffset);
      const bool extended = (word & kExtendedIdBit) != 0;
      const uint32_t id = word & ~kExtendedIdBit;
      if (length > 8 || id > (extended ? kMaxExtendedId : kMaxStandardId)) {
        return IFCAN_ERROR_INVALID_PARAMETER;
      }
      if (b->setup.write_status != IFCAN_ERROR_SUCCESS) return b->setup.write_status;
      if (!b->bus.Take()) return IFCAN_ERROR_BUFFER_IS_FULL;
      Simulator::Get().Capture({.device_name = b->device_name,
                                .device = b->setup.port,
                                .id = id,
                                .extended = extended,
                                .dlc = static_cast<uint8_t>(length),
                                .data = record + kFrameDataOffset,
                                .raw = record,
                                .raw_size = sizeof record});
    }
    return IFCAN_ERROR_SUCCESS;
  }

 private:
  std::vector<Board> boards_;
};

IfCanModel& Model() {
  static IfCanModel model;
  return model;
}

}  // namespace

cansim::FamilyModel& cansim::ThisFamily() {
  return Model();
}

CANSIM_EXPORT int32_t TELPOD_DRIVER_CALL CanOpenPort(const char* name) {
  if (auto r = Simulator::Get().Enter(kOpenPort, {name})) return static_cast<int32_t>(*r);
  return Model().Open(name);
}

CANSIM_EXPORT uint32_t TELPOD_DRIVER_CALL CanClosePort(int32_t handle) {
  if (auto r = Simulator::Get().Enter(kClosePort, {handle})) return static_cast<uint32_t>(*r);
  return Model().Close(handle);
}

CANSIM_EXPORT uint32_t TELPOD_DRIVER_CALL CanGetPortInformation(int32_t handle, void* info) {
  if (auto r = Simulator::Get().Enter(kGetPortInformation, {handle})) {
    return static_cast<uint32_t>(*r);
  }
  return Model().Information(handle, info);
}

CANSIM_EXPORT uint32_t TELPOD_DRIVER_CALL CanGetConfig(int32_t handle, void* config) {
  if (auto r = Simulator::Get().Enter(kGetConfig, {handle})) return static_cast<uint32_t>(*r);
  return Model().GetConfig(handle, config);
}

CANSIM_EXPORT uint32_t TELPOD_DRIVER_CALL CanSetConfig(int32_t handle, const void* config) {
  if (auto r = Simulator::Get().Enter(kSetConfig, {handle})) return static_cast<uint32_t>(*r);
  return Model().SetConfig(handle, config);
}

CANSIM_EXPORT uint32_t TELPOD_DRIVER_CALL CanActivate(int32_t handle) {
  if (auto r = Simulator::Get().Enter(kActivate, {handle})) return static_cast<uint32_t>(*r);
  return Model().SetActive(handle, true);
}

CANSIM_EXPORT uint32_t TELPOD_DRIVER_CALL CanDeactivate(int32_t handle) {
  if (auto r = Simulator::Get().Enter(kDeactivate, {handle})) return static_cast<uint32_t>(*r);
  return Model().SetActive(handle, false);
}

CANSIM_EXPORT uint32_t TELPOD_DRIVER_CALL CanSendMessage(int32_t handle, const void* frames,
                                                         uint32_t count) {
  if (auto r = Simulator::Get().Enter(kSendMessage, {handle, count})) {
    return static_cast<uint32_t>(*r);
  }
  return Model().Send(handle, frames, count);
}

static_assert(std::is_same_v<decltype(&CanOpenPort), CanOpenPort_t>);
static_assert(std::is_same_v<decltype(&CanClosePort), CanClosePort_t>);
static_assert(std::is_same_v<decltype(&CanGetPortInformation), CanGetPortInformation_t>);
static_assert(std::is_same_v<decltype(&CanGetConfig), CanGetConfig_t>);
static_assert(std::is_same_v<decltype(&CanSetConfig), CanSetConfig_t>);
static_assert(std::is_same_v<decltype(&CanActivate), CanActivate_t>);
static_assert(std::is_same_v<decltype(&CanDeactivate), CanDeactivate_t>);
static_assert(std::is_same_v<decltype(&CanSendMessage), CanSendMessage_t>);
