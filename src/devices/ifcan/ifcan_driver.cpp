#include "devices/ifcan/ifcan_driver.h"

#include "abi/le_bytes.h"

namespace telpod {

std::unique_ptr<IfCanDriver> IfCanDriver::Load(const std::string& path, std::string* error) {
  return LoadAll<IfCanDriver>(path, error);
}

void IfCanDriver::ResolveEntryPoints(DriverLoader& loader) {
  loader("CanOpenPort", CanOpenPort);
  loader("CanClosePort", CanClosePort);
  loader("CanGetPortInformation", CanGetPortInformation);
  loader("CanGetConfig", CanGetConfig);
  loader("CanSetConfig", CanSetConfig);
  loader("CanActivate", CanActivate);
  loader("CanDeactivate", CanDeactivate);
  loader("CanSendMessage", CanSendMessage);
}

int32_t IfCanDriver::OpenPort(int32_t port) const {
  const std::string name = ifcan_abi::kPortPrefix + std::to_string(port);
  return CanOpenPort(name.c_str());
}

uint32_t IfCanDriver::GetPortInformation(
    int32_t handle, std::array<uint32_t, ifcan_abi::kPortInformationWords>& words) const {
  alignas(4) std::array<uint8_t, ifcan_abi::kPortInformationBytes> record{};
  const uint32_t status = CanGetPortInformation(handle, record.data());
  for (size_t i = 0; i < words.size(); ++i) words[i] = GetLe32(record.data() + 4 * i);
  return status;
}

}  // namespace telpod
