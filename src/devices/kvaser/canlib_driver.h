#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "abi/canlib_abi.h"
#include "devices/driver_library.h"

namespace telpod {

// Kvaser's CANlib loaded at run time.
class CanlibDriver : public DriverLibrary {
 public:
  // Opens the library by absolute path and resolves every entry point;
  // nullptr (with the reason in `error`) when that fails.
  static std::unique_ptr<CanlibDriver> Load(const std::string& path, std::string* error);

  canInitializeLibrary_t canInitializeLibrary = nullptr;
  canGetNumberOfChannels_t canGetNumberOfChannels = nullptr;
  canOpenChannel_t canOpenChannel = nullptr;
  canGetChannelData_t canGetChannelData = nullptr;
  canSetBusParams_t canSetBusParams = nullptr;
  canBusOn_t canBusOn = nullptr;
  canBusOff_t canBusOff = nullptr;
  canWrite_t canWrite = nullptr;
  canClose_t canClose = nullptr;
  canReadStatus_t canReadStatus = nullptr;

  // The channel's name read through a 64-byte buffer, NULs removed.
  canStatus ChannelName(int channel, std::string& name) const;
  // An 8-byte channel-data item as a little-endian number, read through a
  // zeroed buffer.
  canStatus ChannelNumber(int channel, int item, uint64_t& value) const;

 private:
  friend class DriverLibrary;
  CanlibDriver() = default;
  void ResolveEntryPoints(DriverLoader& loader);
};

}  // namespace telpod
