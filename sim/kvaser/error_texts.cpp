#include "kvaser/error_texts.h"

#include <array>
#include <utility>

namespace cansim {

namespace {

using namespace telpod::canlib_abi;

constexpr std::array<std::pair<canStatus, const char*>, 28> kTexts{{
    {canOK, "No error"},
    {canERR_PARAM, "Error in parameter"},
    {canERR_NOMSG, "No messages available"},
    {canERR_NOTFOUND, "Specified device not found"},
    {canERR_NOMEM, "Out of memory"},
    {canERR_NOCHANNELS, "No channels available"},
    {canERR_INTERRUPTED, "Operation interrupted"},
    {canERR_TIMEOUT, "Timeout occurred"},
    {canERR_NOTINITIALIZED, "Library not initialized"},
    {canERR_NOHANDLES, "No more handles"},
    {canERR_INVHANDLE, "Handle is invalid"},
    {canERR_INIFILE, "Error in the ini-file"},
    {canERR_DRIVER, "Driver type not supported"},
    {canERR_TXBUFOFL, "Transmit buffer overflow"},
    {canERR_HARDWARE, "A hardware error was detected"},
    {canERR_DYNALOAD, "Can not find requested DLL"},
    {canERR_DYNALIB, "DLL seems to be wrong version"},
    {canERR_DYNAINIT, "Error when initializing DLL"},
    {canERR_NOT_SUPPORTED, "Operation not supported by hardware or firmware"},
    {canERR_DRIVERLOAD, "Can not load or open the device driver"},
    {canERR_DRIVERFAILED, "The I/O request failed"},
    {canERR_NOCONFIGMGR, "Can't find required configuration software"},
    {canERR_NOCARD, "The card was removed or not inserted"},
    {canERR_REGISTRY, "Error in the Registry"},
    {canERR_LICENSE, "The license is not valid"},
    {canERR_INTERNAL, "Internal error in the driver"},
    {canERR_NO_ACCESS, "Access denied"},
    {canERR_NOT_IMPLEMENTED, "Not implemented"},
}};

}  // namespace

const char* ErrorText(canStatus status) {
  for (const auto& [code, text] : kTexts) {
    if (code == status) return text;
  }
  return "Unknown error";
}

}  // namespace cansim
