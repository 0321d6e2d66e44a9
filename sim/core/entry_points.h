#pragma once

#include <array>

namespace cansim {

// Every entry point of the three libraries, in the order each library
// numbers its own (the index is the entry's id in the call counters).
inline constexpr std::array<const char*, 8> kCanusbEntryPoints{
    "canusb_Open",        "canusb_Close",           "canusb_Write",
    "canusb_VersionInfo", "canusb_getFirstAdapter", "canusb_getNextAdapter",
    "canusb_Status",      "canusb_GetStatistics"};

inline constexpr std::array<const char*, 8> kIfCanEntryPoints{
    "CanOpenPort",  "CanClosePort", "CanGetPortInformation", "CanGetConfig",
    "CanSetConfig", "CanActivate",  "CanDeactivate",         "CanSendMessage"};

inline constexpr std::array<const char*, 24> kCanlibEntryPoints{"canInitializeLibrary",
                                                                "canGetNumberOfChannels",
                                                                "canOpenChannel",
                                                                "canGetChannelData",
                                                                "canSetBusParams",
                                                                "canBusOn",
                                                                "canBusOff",
                                                                "canWrite",
                                                                "canClose",
                                                                "canGetErrorText",
                                                                "canGetVersion",
                                                                "canIoCtl",
                                                                "canSetBusOutputControl",
                                                                "canSetBusParamsFd",
                                                                "canSetBusParamsC200",
                                                                "canSetAcceptanceFilter",
                                                                "canReadWait",
                                                                "canWriteSync",
                                                                "canFlushReceiveQueue",
                                                                "kvReadTimer",
                                                                "kvFlashLeds",
                                                                "canRequestBusStatistics",
                                                                "canGetBusStatistics",
                                                                "canReadStatus"};

// True when `name` is an entry point of any of the three libraries.
bool IsKnownEntryPoint(const char* name);

}  // namespace cansim
