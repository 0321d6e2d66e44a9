#pragma once

// The CANUSB adapter library's C interface as its maker publishes it
// (canusbdrv; libcanusbdrv.so here). Success is 1, errors are negative.

#include <cstddef>
#include <cstdint>

#include "abi/driver_call.h"

extern "C" {

typedef int32_t canusb_handle;  // > 0 while open

// The frame record: 18 bytes of fields, 20 with natural alignment.
typedef struct CANMsg {
  uint32_t id;
  uint32_t timestamp;
  uint8_t flags;
  uint8_t len;
  uint8_t data[8];
} CANMsg;

// What the adapter has counted since it was opened.
typedef struct CANUsbStatistics {
  uint32_t cntReceiveFrames;
  uint32_t cntTransmitFrames;
  uint32_t cntReceiveData;
  uint32_t cntTransmitData;
  uint32_t cntOverruns;
  uint32_t cntBusWarnings;
  uint32_t cntBusOff;
} CANUsbStatistics;

typedef canusb_handle(TELPOD_DRIVER_CALL* canusb_Open_t)(const char* serial, const char* bitrate,
                                                         uint32_t acceptance_code,
                                                         uint32_t acceptance_mask, uint32_t flags);
typedef int(TELPOD_DRIVER_CALL* canusb_Close_t)(canusb_handle h);
typedef int(TELPOD_DRIVER_CALL* canusb_Write_t)(canusb_handle h, CANMsg* msg);
// The adapter's CANSTATUS_* flags, or a negative error.
typedef int(TELPOD_DRIVER_CALL* canusb_Status_t)(canusb_handle h);
// > 0 when `statistics` was filled.
typedef int(TELPOD_DRIVER_CALL* canusb_GetStatistics_t)(canusb_handle h,
                                                        CANUsbStatistics* statistics);
typedef int(TELPOD_DRIVER_CALL* canusb_VersionInfo_t)(canusb_handle h, char* verinfo);
typedef int(TELPOD_DRIVER_CALL* canusb_getFirstAdapter_t)(char* serial, int size);
typedef int(TELPOD_DRIVER_CALL* canusb_getNextAdapter_t)(char* serial, int size);

}  // extern "C"

static_assert(sizeof(CANMsg) == 20 && offsetof(CANMsg, len) == 9 && offsetof(CANMsg, data) == 10);

// The maker's constants: X(name, value).
#define TELPOD_CANUSB_CONSTANTS(X)      \
  X(CANUSB_FLAG_TIMESTAMP, 1)           \
  X(CANUSB_FLAG_QUEUE_REPLACE, 2)       \
  X(CANUSB_FLAG_BLOCK, 4)               \
  X(CANUSB_FLAG_SLOW, 8)                \
  X(CANUSB_FLAG_NO_LOCAL_SEND, 0x10)    \
  X(CANUSB_ACCEPTANCE_CODE_ALL, 0)      \
  X(CANUSB_ACCEPTANCE_MASK_ALL, -1)     \
  X(CANMSG_EXTENDED, 0x80)              \
  X(CANMSG_RTR, 0x40)                   \
  X(ERROR_CANUSB_OK, 1)                 \
  X(ERROR_CANUSB_GENERAL, -1)           \
  X(ERROR_CANUSB_OPEN_SUBSYSTEM, -2)    \
  X(ERROR_CANUSB_COMMAND_SUBSYSTEM, -3) \
  X(ERROR_CANUSB_NOT_OPEN, -4)          \
  X(ERROR_CANUSB_TX_FIFO_FULL, -5)      \
  X(ERROR_CANUSB_INVALID_PARAM, -6)     \
  X(ERROR_CANUSB_NO_MESSAGE, -7)        \
  X(ERROR_CANUSB_MEMORY_ERROR, -8)      \
  X(ERROR_CANUSB_NO_DEVICE, -9)         \
  X(ERROR_CANUSB_TIMEOUT, -10)          \
  X(ERROR_CANUSB_INVALID_HARDWARE, -11) \
  X(CANSTATUS_RECEIVE_FIFO_FULL, 0x01)  \
  X(CANSTATUS_TRANSMIT_FIFO_FULL, 0x02) \
  X(CANSTATUS_ERROR_WARNING, 0x04)      \
  X(CANSTATUS_DATA_OVERRUN, 0x08)       \
  X(CANSTATUS_ERROR_PASSIVE, 0x20)      \
  X(CANSTATUS_ARBITRATION_LOST, 0x40)   \
  X(CANSTATUS_BUS_ERROR, 0x80)

// The bit-rate texts canusb_Open takes (kbit/s): X(name, text).
#define TELPOD_CANUSB_BITRATES(X) \
  X(CAN_BAUD_1M, "1000")          \
  X(CAN_BAUD_800K, "800")         \
  X(CAN_BAUD_500K, "500")         \
  X(CAN_BAUD_250K, "250")         \
  X(CAN_BAUD_125K, "125")         \
  X(CAN_BAUD_100K, "100")         \
  X(CAN_BAUD_50K, "50")           \
  X(CAN_BAUD_20K, "20")           \
  X(CAN_BAUD_10K, "10")

namespace telpod::canusb_abi {

#define TELPOD_CANUSB_ENUM_ENTRY(name, value) name = (value),
enum : int32_t { TELPOD_CANUSB_CONSTANTS(TELPOD_CANUSB_ENUM_ENTRY) };
#undef TELPOD_CANUSB_ENUM_ENTRY

// The program always hands canusb_Write a whole, zeroed 20-byte record.
inline constexpr size_t kFrameBufferBytes = sizeof(CANMsg);

}  // namespace telpod::canusb_abi
