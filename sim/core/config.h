#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cansim {

// A device alone on its bus: nobody acknowledges, so frames stay in the
// transmit queue for good.
struct LonelyBusSpec {
  // Frames the queue takes after each open; later writes find it full and
  // the controller error passive. None: the bus has other nodes.
  std::optional<int64_t> txqueue;
  bool busoff = false;  // off the bus: every write fails
};

// A CANUSB adapter, in the order the adapter search reports them.
struct AdapterSpec {
  std::string serial;
  std::string version = "V1.0.2 sim";
  std::optional<int32_t> report;  // result of its search report; default: adapters left
  bool open_fails = false;
  int32_t version_result = 1;
  int32_t close_result = 1;
  int32_t write_result = 1;  // anything but 1: writes fail with it
  LonelyBusSpec bus;
};

// An Interface board at one port.
struct BoardSpec {
  int32_t port = 0;
  // ulStructLength, ulVendorID, ulDeviceID, ulSubsystemID, ulRevisionID,
  // ulBoardID, ulModelNumber, ulChannelNumber, ulPhysicalLayer
  std::array<uint32_t, 9> info{36, 0x1147, 0x12F3, 0x2094, 1, 0, 0, 1, 1};
  uint32_t info_status = 0;
  // mode, five driver-owned words, bit-rate code
  std::array<uint32_t, 7> config{1, 0x11, 0x22, 0x33, 0x44, 0x55, 295};
  uint32_t getconfig_status = 0;
  uint32_t close_status = 0;
  uint32_t write_status = 0;
  bool open_fails = false;
  LonelyBusSpec bus;
};

// A Kvaser channel; its channel number is its position.
struct ChannelSpec {
  std::string name;
  uint64_t serial = 0;
  uint64_t firmware = 0;
  uint64_t upc = 0;
  bool held = false;  // another program holds init access
  bool open_fails = false;
  int32_t name_status = 0;
  int32_t write_status = 0;
  LonelyBusSpec bus;
};

// A serial-line adapter answering the Lawicel command set on a
// pseudo-terminal of its own.
struct SerialAdapterSpec {
  std::string serial = "SC01";  // empty: N is refused
  std::string version = "1013";
  bool open_fails = false;   // O refused
  bool write_fails = false;  // every frame refused
  bool bare_ack = false;     // frames answered with CR, not z/Z, as some copies do
  bool silent = false;       // answers nothing
  bool garbage = false;      // answers noise
  LonelyBusSpec bus;
};

// Calls first_call .. first_call + count - 1 of `entry` return `result`.
struct FaultSpec {
  std::string entry;
  int64_t first_call = 1;
  int64_t count = -1;  // -1: every later call
  int64_t result = 0;
};

struct Config {
  std::vector<AdapterSpec> adapters;
  std::vector<BoardSpec> boards;
  std::vector<ChannelSpec> channels;
  std::vector<SerialAdapterSpec> serial_adapters;
  std::optional<int32_t> kvaser_count;  // channels CANlib reports
  std::vector<FaultSpec> faults;
  // Where the buses are shared with other processes ("": the user's runtime
  // folder); none: they are this process's alone.
  std::optional<std::string> shared_bus_folder;
};

// The configuration when CANSIM_CONFIG is not set: one device per family.
extern const char* const kDefaultConfig;

// Parses the configuration text; false with "line N: why" in `error`.
bool ParseConfig(std::string_view text, Config& config, std::string& error);

// The configuration at start: the file CANSIM_CONFIG names, or the default.
// A file that cannot be read or parsed is reported on standard error as
// `who`'s and gives no devices.
Config ConfigAtStart(const char* who);

}  // namespace cansim
