#pragma once

// The Interface Corporation CAN board library's C interface (IFCan; here
// libIFCan.so). Handles are signed, -1 meaning "not opened"; statuses are
// unsigned, 0 for success. The records are plain little-endian words.

#include <cstddef>
#include <cstdint>

#include "abi/driver_call.h"

extern "C" {

typedef int32_t(TELPOD_DRIVER_CALL* CanOpenPort_t)(const char* name);
typedef uint32_t(TELPOD_DRIVER_CALL* CanClosePort_t)(int32_t handle);
typedef uint32_t(TELPOD_DRIVER_CALL* CanGetPortInformation_t)(int32_t handle, void* info);
typedef uint32_t(TELPOD_DRIVER_CALL* CanGetConfig_t)(int32_t handle, void* config);
typedef uint32_t(TELPOD_DRIVER_CALL* CanSetConfig_t)(int32_t handle, const void* config);
typedef uint32_t(TELPOD_DRIVER_CALL* CanActivate_t)(int32_t handle);
typedef uint32_t(TELPOD_DRIVER_CALL* CanDeactivate_t)(int32_t handle);
typedef uint32_t(TELPOD_DRIVER_CALL* CanSendMessage_t)(int32_t handle, const void* frames,
                                                       uint32_t count);

}  // extern "C"

// Status codes with the texts the program shows for them: X(name, value, text).
#define TELPOD_IFCAN_STATUS_CODES(X)                                                       \
  X(IFCAN_ERROR_SUCCESS, 0x00000000u, "")                                                  \
  X(IFCAN_ERROR_NOT_READY, 0xC0000001u, "The current driver cannot be used.")              \
  X(IFCAN_ERROR_ACCESS_DENIED, 0xC0000002u, "The current driver is deleted.")              \
  X(IFCAN_ERROR_INVALID_PARAMETER, 0xC0000003u, "Invalid parameters are specified.")       \
  X(IFCAN_ERROR_INSUFFICIENT_BUFFER, 0xC0000004u,                                          \
    "The data area passed to the system call is too small.")                               \
  X(IFCAN_ERROR_NOT_OPEN, 0xC0000005u, "The port tried to close before opening the port.") \
  X(IFCAN_ERROR_MEMORY_NOTALLOCATED, 0xC0000006u, "Not enough memory.")                    \
  X(IFCAN_ERROR_BUFFER_IS_FULL, 0xC0000007u, "The buffer is full.")                        \
  X(IFCAN_ERROR_BUFFER_IS_EMPTY, 0xC0000008u, "The buffer is empty.")                      \
  X(IFCAN_ERROR_CANNOT_ACCESS, 0xC0000009u, "Invalid function is specified.")              \
  X(IFCAN_ERROR_INVALID_HANDLE, 0xC000000Au, "The device handle is invalid.")              \
  X(IFCAN_ERROR_NOT_SUPPORTED, 0xC000000Bu, "The specified capability is not supported.")  \
  X(IFCAN_ERROR_NOW_SENDING, 0xC000000Cu, "It is cycle or data transmission now.")         \
  X(IFCAN_ERROR_USB_TIMEOUT, 0xC000000Du, "USB communicate Timeout.")                      \
  X(IFCAN_ERROR_USBIO_FAILED, 0xC000000Eu, "USB communicate failed.")

// Modes, bit-rate codes, physical layers and record sizes: X(name, value).
#define TELPOD_IFCAN_CONSTANTS(X)   \
  X(CAN_NORMAL_MODE, 0)             \
  X(CAN_BAUDRATE_1M, 39)            \
  X(CAN_BAUDRATE_500k, 295)         \
  X(CAN_BAUDRATE_250k, 570)         \
  X(CAN_BAUDRATE_125k, 1338)        \
  X(CAN_BAUDRATE_100k, 2358)        \
  X(CAN_BAUDRATE_50k, 7459)         \
  X(CAN_PHYSICALLAYER_LOWSPEED, 0)  \
  X(CAN_PHYSICALLAYER_HIGHSPEED, 1) \
  X(CAN_PORT_INFORMATION_LENGTH, 36)

namespace telpod::ifcan_abi {

#define TELPOD_IFCAN_STATUS_ENTRY(name, value, text) name = (value),
enum : uint32_t { TELPOD_IFCAN_STATUS_CODES(TELPOD_IFCAN_STATUS_ENTRY) };
#undef TELPOD_IFCAN_STATUS_ENTRY

#define TELPOD_IFCAN_ENUM_ENTRY(name, value) name = (value),
enum : int32_t { TELPOD_IFCAN_CONSTANTS(TELPOD_IFCAN_ENUM_ENTRY) };
#undef TELPOD_IFCAN_ENUM_ENTRY

inline constexpr int32_t kNoHandle = -1;
inline constexpr int32_t kFirstPort = 1;
inline constexpr int32_t kLastPort = 255;
inline constexpr const char* kPortPrefix = "IFCAN";  // "IFCAN3" is port 3

// Port information: nine words, ulStructLength .. ulPhysicalLayer.
inline constexpr size_t kPortInformationWords = 9;
inline constexpr size_t kPortInformationBytes = 36;
// Configuration: mode word, five words the driver owns, bit-rate word.
inline constexpr size_t kConfigBytes = 28;
inline constexpr size_t kConfigModeOffset = 0;
inline constexpr size_t kConfigBaudOffset = 24;
// Message: length, reserved, identifier (bit 31 = 29-bit), 8 data bytes,
// trailing word.
inline constexpr size_t kFrameBytes = 24;
inline constexpr size_t kFrameLengthOffset = 0;
inline constexpr size_t kFrameIdOffset = 8;
inline constexpr size_t kFrameDataOffset = 12;
inline constexpr size_t kFrameTailOffset = 20;
inline constexpr uint32_t kExtendedIdBit = 0x80000000u;

}  // namespace telpod::ifcan_abi
