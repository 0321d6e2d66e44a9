#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "abi/canusb_abi.h"
#include "devices/driver_library.h"

namespace telpod {

// The CANUSB library loaded at run time: its entry points, and the few
// reading rules the program applies to their results.
class CanusbDriver : public DriverLibrary {
 public:
  // Opens the library by absolute path and resolves every entry point;
  // nullptr (with the reason in `error`) when the file is no library or an
  // entry point is missing.
  static std::unique_ptr<CanusbDriver> Load(const std::string& path, std::string* error);

  canusb_Open_t canusb_Open = nullptr;
  canusb_Close_t canusb_Close = nullptr;
  canusb_Write_t canusb_Write = nullptr;
  canusb_VersionInfo_t canusb_VersionInfo = nullptr;
  canusb_getFirstAdapter_t canusb_getFirstAdapter = nullptr;
  canusb_getNextAdapter_t canusb_getNextAdapter = nullptr;
  canusb_Status_t canusb_Status = nullptr;
  canusb_GetStatistics_t canusb_GetStatistics = nullptr;

  // Adapter search: the result's low 16 bits as a signed number; `serial`
  // receives the buffer's text.
  int16_t GetFirstAdapter(std::string& serial) const;
  int16_t GetNextAdapter(std::string& serial) const;
  // Opens by serial number (UTF-8, handed over as ANSI); the handle.
  int32_t Open(const std::string& serial, const std::string& bitrate, int32_t acceptance_code,
               int32_t acceptance_mask, int32_t flags) const;
  // Version text of an open adapter; low 16 bits of the result, signed.
  int16_t VersionInfo(int32_t handle, std::string& version) const;
  // Closes; low 16 bits of the result, signed (1 = ERROR_CANUSB_OK).
  int16_t Close(int32_t handle) const;

 private:
  friend class DriverLibrary;
  CanusbDriver() = default;
  void ResolveEntryPoints(DriverLoader& loader);
};

}  // namespace telpod
