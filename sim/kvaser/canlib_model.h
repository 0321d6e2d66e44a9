#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "abi/canlib_abi.h"
#include "core/entry_points.h"
#include "core/lonely_bus.h"
#include "core/simulator.h"

namespace cansim {

// The entry points of libcanlib.so.1, numbered as kCanlibEntryPoints lists them.
enum CanlibEntry : size_t {
  kInitializeLibrary,
  kGetNumberOfChannels,
  kOpenChannel,
  kGetChannelData,
  kSetBusParams,
  kBusOn,
  kBusOff,
  kWrite,
  kClose,
  kGetErrorText,
  kGetVersion,
  kIoCtl,
  kSetBusOutputControl,
  kSetBusParamsFd,
  kSetBusParamsC200,
  kSetAcceptanceFilter,
  kReadWait,
  kWriteSync,
  kFlushReceiveQueue,
  kReadTimer,
  kFlashLeds,
  kRequestBusStatistics,
  kGetBusStatistics,
  kReadStatus,
  kCanlibEntryCount
};
static_assert(kCanlibEntryCount == kCanlibEntryPoints.size());

// Where canReadWait puts a frame; a null pointer is left out.
struct ReadOut {
  long* id = nullptr;
  void* msg = nullptr;
  unsigned int* dlc = nullptr;
  unsigned int* flag = nullptr;
  unsigned long* time = nullptr;
};

// Simulated Kvaser channels. The handles open on one channel share its bus:
// a frame written on one handle is received by the others, as CANlib echoes
// it locally, and, when the configuration shares the buses, by the handles
// of other processes on that channel. Every entry point runs holding Lock(), so one thread can wait
// in canReadWait while another writes (python-can reads that way).
class CanlibModel final : public FamilyModel {
 public:
  using Lock = std::unique_lock<std::mutex>;

  std::span<const char* const> EntryPoints() const override { return kCanlibEntryPoints; }
  void Apply(const Config& config) override;
  // Another process's frame on one of our channels' buses.
  void Receive(std::string_view bus, const BusFrame& frame) override;

  Lock Hold() { return Lock(mutex_); }

  void Initialize() { initialized_ = true; }
  canStatus NumberOfChannels(int* count) const;
  canHandle Open(int channel, int flags);
  canStatus ChannelData(int channel, int item, void* buffer, size_t size) const;
  // canOK for an open handle, canERR_INVHANDLE for anything else.
  canStatus Check(canHandle h) const;
  canStatus SetBusParams(canHandle h, long freq);
  canStatus SetBus(canHandle h, bool on);
  canStatus SetOutputControl(canHandle h, unsigned int driver_type);
  canStatus SetFilter(canHandle h, unsigned int code, unsigned int mask, bool extended);
  canStatus IoCtl(canHandle h, unsigned int func, void* buf, unsigned int size);
  canStatus Write(canHandle h, long id, const void* msg, unsigned int dlc, unsigned int flag);
  // Waits up to `timeout_ms` (0xFFFFFFFF: for ever) for a frame.
  canStatus ReadWait(Lock& lock, canHandle h, const ReadOut& out, unsigned long timeout_ms);
  canStatus FlushReceived(canHandle h);
  canStatus ReadTimer(canHandle h, unsigned int* time) const;
  canStatus Statistics(canHandle h, canBusStatistics* out, size_t size) const;
  // The channel's canSTAT_* flags; a handle not on the bus reads as off it.
  canStatus ReadStatus(canHandle h, unsigned long* flags) const;
  canStatus Close(canHandle h);

 private:
  struct Filter {
    uint32_t code = 0;
    uint32_t mask = 0;  // 0: every identifier passes
    bool Passes(uint32_t id) const { return ((id ^ code) & mask) == 0; }
  };
  struct Received {
    uint32_t id = 0;
    std::array<uint8_t, 8> data{};
    unsigned int dlc = 0;
    unsigned int flags = 0;
    int64_t monotonic_ns = 0;
  };
  struct Handle {
    int channel = -1;  // -1: free
    int flags = 0;
    bool init_access = false;
    bool bus_on = false;
    bool tx_echo = true;       // the others on the channel receive what it writes
    bool local_txack = false;  // marks what it receives from the others
    bool overrun = false;      // frames were lost since the last one queued
    uint32_t timer_scale_us = 1000;
    Filter standard;
    Filter extended;
    std::deque<Received> received;
  };
  // Everything one channel keeps, whichever handle acts on it.
  struct Channel {
    ChannelSpec setup;
    std::string device_name;
    bool init_access_taken = false;  // by a handle of this program
    canBusStatistics statistics{};
    LonelyBus bus;
  };

  Handle* Find(canHandle h);
  const Handle* Find(canHandle h) const;
  const Channel* FindChannel(int channel) const;
  unsigned long Ticks(const Handle& handle, int64_t monotonic_ns) const;
  // The handles on `channel` besides `from` (-1: a frame from another
  // process) receive the frame.
  void Broadcast(int channel, canHandle from, const Received& frame);
  static void Count(canBusStatistics& statistics, bool extended, bool remote);

  std::mutex mutex_;
  std::condition_variable arrived_;
  bool initialized_ = false;
  int64_t epoch_ns_ = 0;  // where the channels' timers start
  std::vector<Channel> channels_;
  std::vector<Handle> handles_;
};

CanlibModel& Model();

}  // namespace cansim
