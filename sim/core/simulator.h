#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "cansim_control.h"
#include "core/candump_log.h"
#include "core/clock.h"
#include "core/config.h"
#include "core/shared_bus.h"
#include "core/wire_frame.h"

namespace cansim {

// What each simulated library adds to the shared core: its entry point
// names and its devices, rebuilt from a configuration.
class FamilyModel {
 public:
  virtual ~FamilyModel() = default;
  virtual std::span<const char* const> EntryPoints() const = 0;
  virtual void Apply(const Config& config) = 0;
  // A frame another process wrote on the bus named `bus`; runs on the
  // shared bus's own thread. A family without receivers ignores it.
  virtual void Receive(std::string_view /*bus*/, const BusFrame& /*frame*/) {}
};

// Defined once in each library: its model.
FamilyModel& ThisFamily();

// One argument of a logged call: a number or a text.
struct Arg {
  template <typename T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
  Arg(T v) : value(static_cast<int64_t>(v)) {}  // NOLINT: implicit on purpose
  Arg(const char* t) : text(t), is_text(true) {}
  int64_t value = 0;
  const char* text = nullptr;
  bool is_text = false;
};

// The state every simulated library shares in kind: call counters and the
// call log, injected faults, the last record per entry point, captured
// frames and the frame log. One per library, configured from CANSIM_CONFIG
// when first used.
class Simulator {
 public:
  static Simulator& Get();

  // Counts and logs a call; a fault planned for it gives its result, and the
  // call must then return that without doing anything.
  std::optional<int64_t> Enter(size_t entry, std::initializer_list<Arg> args);
  // Keeps the bytes of a record handed over or filled in.
  void KeepRecord(size_t entry, const void* bytes, size_t size);
  // Captures and logs an accepted frame; its monotonic time stamp.
  int64_t Capture(const WireFrame& frame);
  void FlushLog() { log_.Flush(); }
  // The buses shared with other processes, as the configuration says.
  SharedBus& shared_bus() { return shared_bus_; }

  // Control interface.
  void Reset();
  bool Configure(std::string_view text, std::string& error);
  long long CallCount(const char* entry) const;
  size_t CallLogSize() const { return calls_.size(); }
  std::optional<std::string> CallLogEntry(size_t index) const;
  bool AddFault(const char* entry, int64_t first_call, int64_t count, int64_t result);
  const std::vector<cansim_frame>& frames() const { return frames_; }
  size_t TakeFrames(cansim_frame* out, size_t max);
  long long dropped_frames() const { return dropped_frames_; }
  size_t LastRecord(const char* entry, void* out, size_t size) const;
  bool SetLog(const char* target);

 private:
  static constexpr size_t kMaxArgs = 7;
  static constexpr size_t kTextBytes = 40;
  static constexpr size_t kRecordBytes = 64;
  static constexpr size_t kCallLogLimit = 1 << 16;
  static constexpr size_t kFrameLimit = 1 << 16;

  struct Call {
    uint16_t entry;
    uint8_t argc;
    uint8_t text_mask;
    std::array<int64_t, kMaxArgs> values;
    std::array<char, kTextBytes> texts;  // the text arguments, NUL-separated
  };
  struct Fault {
    size_t entry;
    int64_t first_call, count, result;
  };
  struct Record {
    std::array<uint8_t, kRecordBytes> bytes{};
    size_t size = 0;
  };

  explicit Simulator(FamilyModel& family);
  void Apply(const Config& config);
  std::optional<size_t> EntryIndex(const char* name) const;

  FamilyModel& family_;
  std::span<const char* const> names_;
  std::vector<long long> counts_;
  std::vector<Call> calls_;
  std::vector<Fault> faults_;
  std::vector<bool> has_fault_;
  std::vector<Record> records_;
  std::vector<cansim_frame> frames_;
  long long dropped_frames_ = 0;
  FrameClock clock_;
  CandumpLog log_;
  SharedBus shared_bus_;
};

}  // namespace cansim
