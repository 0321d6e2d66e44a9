#include "devices/kvaser/canlib_driver.h"

#include <array>

#include "abi/le_bytes.h"
#include "devices/driver_text.h"

namespace telpod {

std::unique_ptr<CanlibDriver> CanlibDriver::Load(const std::string& path, std::string* error) {
  return LoadAll<CanlibDriver>(path, error);
}

void CanlibDriver::ResolveEntryPoints(DriverLoader& loader) {
  loader("canInitializeLibrary", canInitializeLibrary);
  loader("canGetNumberOfChannels", canGetNumberOfChannels);
  loader("canOpenChannel", canOpenChannel);
  loader("canGetChannelData", canGetChannelData);
  loader("canSetBusParams", canSetBusParams);
  loader("canBusOn", canBusOn);
  loader("canBusOff", canBusOff);
  loader("canWrite", canWrite);
  loader("canClose", canClose);
  loader("canReadStatus", canReadStatus);
}

canStatus CanlibDriver::ChannelName(int channel, std::string& name) const {
  std::array<char, kDriverTextBuffer> buffer{};
  const canStatus status = canGetChannelData(channel, canlib_abi::canCHANNELDATA_CHANNEL_NAME,
                                             buffer.data(), buffer.size());
  name = TextFromDriverBuffer(buffer.data(), buffer.size());
  return status;
}

canStatus CanlibDriver::ChannelNumber(int channel, int item, uint64_t& value) const {
  alignas(8) std::array<uint8_t, canlib_abi::kChannelNumberBytes> buffer{};
  const canStatus status = canGetChannelData(channel, item, buffer.data(), buffer.size());
  value = GetLe64(buffer.data());
  return status;
}

}  // namespace telpod
