#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "abi/ifcan_abi.h"
#include "devices/driver_library.h"

namespace telpod {

// The Interface board library loaded at run time.
class IfCanDriver : public DriverLibrary {
 public:
  // Opens the library by absolute path and resolves every entry point;
  // nullptr (with the reason in `error`) when that fails.
  static std::unique_ptr<IfCanDriver> Load(const std::string& path, std::string* error);

  CanOpenPort_t CanOpenPort = nullptr;
  CanClosePort_t CanClosePort = nullptr;
  CanGetPortInformation_t CanGetPortInformation = nullptr;
  CanGetConfig_t CanGetConfig = nullptr;
  CanSetConfig_t CanSetConfig = nullptr;
  CanActivate_t CanActivate = nullptr;
  CanDeactivate_t CanDeactivate = nullptr;
  CanSendMessage_t CanSendMessage = nullptr;

  // Opens "IFCAN" + port number; the handle, -1 when it did not open.
  int32_t OpenPort(int32_t port) const;
  // Reads the port information record into its nine words.
  uint32_t GetPortInformation(int32_t handle,
                              std::array<uint32_t, ifcan_abi::kPortInformationWords>& words) const;

 private:
  friend class DriverLibrary;
  IfCanDriver() = default;
  void ResolveEntryPoints(DriverLoader& loader);
};

}  // namespace telpod
