#include "devices/canusb/canusb_driver.h"

#include <array>

#include "devices/driver_text.h"

namespace telpod {

namespace {

// canusb_VersionInfo takes no length: the buffer has room to spare behind
// the 64 characters that are read, so a long answer cannot run past it.
constexpr size_t kSpareBytes = 64;

using TextBuffer = std::array<char, kDriverTextBuffer + kSpareBytes>;

int16_t ReadAdapter(canusb_getFirstAdapter_t fn, std::string& serial) {
  TextBuffer buffer{};
  const int result = fn(buffer.data(), static_cast<int>(kDriverTextBuffer));
  serial = TextFromDriverBuffer(buffer.data(), kDriverTextBuffer);
  return Low16(result);
}

}  // namespace

std::unique_ptr<CanusbDriver> CanusbDriver::Load(const std::string& path, std::string* error) {
  return LoadAll<CanusbDriver>(path, error);
}

void CanusbDriver::ResolveEntryPoints(DriverLoader& loader) {
  loader("canusb_Open", canusb_Open);
  loader("canusb_Close", canusb_Close);
  loader("canusb_Write", canusb_Write);
  loader("canusb_VersionInfo", canusb_VersionInfo);
  loader("canusb_getFirstAdapter", canusb_getFirstAdapter);
  loader("canusb_getNextAdapter", canusb_getNextAdapter);
  loader("canusb_Status", canusb_Status);
  loader("canusb_GetStatistics", canusb_GetStatistics);
}

int16_t CanusbDriver::GetFirstAdapter(std::string& serial) const {
  return ReadAdapter(canusb_getFirstAdapter, serial);
}

int16_t CanusbDriver::GetNextAdapter(std::string& serial) const {
  return ReadAdapter(canusb_getNextAdapter, serial);
}

int32_t CanusbDriver::Open(const std::string& serial, const std::string& bitrate,
                           int32_t acceptance_code, int32_t acceptance_mask, int32_t flags) const {
  const std::string ansi_serial = DriverText(serial);
  const std::string ansi_bitrate = DriverText(bitrate);
  return canusb_Open(ansi_serial.c_str(), ansi_bitrate.c_str(),
                     static_cast<uint32_t>(acceptance_code), static_cast<uint32_t>(acceptance_mask),
                     static_cast<uint32_t>(flags));
}

int16_t CanusbDriver::VersionInfo(int32_t handle, std::string& version) const {
  TextBuffer buffer{};
  const int result = canusb_VersionInfo(handle, buffer.data());
  version = TextFromDriverBuffer(buffer.data(), kDriverTextBuffer);
  return Low16(result);
}

int16_t CanusbDriver::Close(int32_t handle) const {
  return Low16(canusb_Close(handle));
}

}  // namespace telpod
