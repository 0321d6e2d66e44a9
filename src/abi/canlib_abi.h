#pragma once

// Kvaser CANlib's C interface as Kvaser publishes it (canlib32.dll on
// Windows, libcanlib.so.1 on Linux). Handles >= 0; statuses 0 or negative.
// Identifiers travel as C long, which is 64-bit on Linux x86_64.

#include <cstddef>

#include "abi/driver_call.h"

extern "C" {

typedef int canHandle;
typedef int canStatus;

typedef void(TELPOD_DRIVER_CALL* canInitializeLibrary_t)(void);
typedef canStatus(TELPOD_DRIVER_CALL* canGetNumberOfChannels_t)(int* channelCount);
typedef canHandle(TELPOD_DRIVER_CALL* canOpenChannel_t)(int channel, int flags);
typedef canStatus(TELPOD_DRIVER_CALL* canGetChannelData_t)(int channel, int item, void* buffer,
                                                           size_t bufsize);
typedef canStatus(TELPOD_DRIVER_CALL* canSetBusParams_t)(canHandle hnd, long freq,
                                                         unsigned int tseg1, unsigned int tseg2,
                                                         unsigned int sjw, unsigned int noSamp,
                                                         unsigned int syncmode);
typedef canStatus(TELPOD_DRIVER_CALL* canBusOn_t)(canHandle hnd);
typedef canStatus(TELPOD_DRIVER_CALL* canBusOff_t)(canHandle hnd);
typedef canStatus(TELPOD_DRIVER_CALL* canWrite_t)(canHandle hnd, long id, void* msg,
                                                  unsigned int dlc, unsigned int flag);
typedef canStatus(TELPOD_DRIVER_CALL* canClose_t)(canHandle hnd);
// The channel's canSTAT_* flags.
typedef canStatus(TELPOD_DRIVER_CALL* canReadStatus_t)(canHandle hnd, unsigned long* flags);

// The rest of what scripting tools (python-can's Kvaser interface) bind:
// reading, timers, filters, statistics and the library's own texts.
typedef struct canBusStatistics {
  unsigned long stdData;
  unsigned long stdRemote;
  unsigned long extData;
  unsigned long extRemote;
  unsigned long errFrame;
  unsigned long busLoad;  // 0 .. 10000, hundredths of a percent
  unsigned long overruns;
} canBusStatistics;

typedef canStatus(TELPOD_DRIVER_CALL* canGetErrorText_t)(canStatus err, char* buf,
                                                         unsigned int bufsiz);
typedef unsigned short(TELPOD_DRIVER_CALL* canGetVersion_t)(void);
typedef canStatus(TELPOD_DRIVER_CALL* canIoCtl_t)(canHandle hnd, unsigned int func, void* buf,
                                                  unsigned int buflen);
typedef canStatus(TELPOD_DRIVER_CALL* canSetBusOutputControl_t)(canHandle hnd,
                                                                unsigned int drivertype);
typedef canStatus(TELPOD_DRIVER_CALL* canSetBusParamsFd_t)(canHandle hnd, long freq_brs,
                                                           unsigned int tseg1_brs,
                                                           unsigned int tseg2_brs,
                                                           unsigned int sjw_brs);
typedef canStatus(TELPOD_DRIVER_CALL* canSetBusParamsC200_t)(canHandle hnd, unsigned char btr0,
                                                             unsigned char btr1);
typedef canStatus(TELPOD_DRIVER_CALL* canSetAcceptanceFilter_t)(canHandle hnd, unsigned int code,
                                                                unsigned int mask, int is_extended);
typedef canStatus(TELPOD_DRIVER_CALL* canReadWait_t)(canHandle hnd, long* id, void* msg,
                                                     unsigned int* dlc, unsigned int* flag,
                                                     unsigned long* time, unsigned long timeout);
typedef canStatus(TELPOD_DRIVER_CALL* canWriteSync_t)(canHandle hnd, unsigned long timeout);
typedef canStatus(TELPOD_DRIVER_CALL* canFlushReceiveQueue_t)(canHandle hnd);
typedef canStatus(TELPOD_DRIVER_CALL* kvReadTimer_t)(canHandle hnd, unsigned int* time);
typedef canStatus(TELPOD_DRIVER_CALL* kvFlashLeds_t)(canHandle hnd, int action, int timeout);
typedef canStatus(TELPOD_DRIVER_CALL* canRequestBusStatistics_t)(canHandle hnd);
typedef canStatus(TELPOD_DRIVER_CALL* canGetBusStatistics_t)(canHandle hnd, canBusStatistics* stat,
                                                             size_t bufsiz);

}  // extern "C"

// CANlib's published constants: X(name, value).
#define TELPOD_CANLIB_CONSTANTS(X)               \
  X(canOK, 0)                                    \
  X(canERR_PARAM, -1)                            \
  X(canERR_NOMSG, -2)                            \
  X(canERR_NOTFOUND, -3)                         \
  X(canERR_NOMEM, -4)                            \
  X(canERR_NOCHANNELS, -5)                       \
  X(canERR_INTERRUPTED, -6)                      \
  X(canERR_TIMEOUT, -7)                          \
  X(canERR_NOTINITIALIZED, -8)                   \
  X(canERR_NOHANDLES, -9)                        \
  X(canERR_INVHANDLE, -10)                       \
  X(canERR_INIFILE, -11)                         \
  X(canERR_DRIVER, -12)                          \
  X(canERR_TXBUFOFL, -13)                        \
  X(canERR_HARDWARE, -15)                        \
  X(canERR_DYNALOAD, -16)                        \
  X(canERR_DYNALIB, -17)                         \
  X(canERR_DYNAINIT, -18)                        \
  X(canERR_NOT_SUPPORTED, -19)                   \
  X(canERR_DRIVERLOAD, -23)                      \
  X(canERR_DRIVERFAILED, -24)                    \
  X(canERR_NOCONFIGMGR, -25)                     \
  X(canERR_NOCARD, -26)                          \
  X(canERR_REGISTRY, -28)                        \
  X(canERR_LICENSE, -29)                         \
  X(canERR_INTERNAL, -30)                        \
  X(canERR_NO_ACCESS, -31)                       \
  X(canERR_NOT_IMPLEMENTED, -32)                 \
  X(canBITRATE_1M, -1)                           \
  X(canBITRATE_500K, -2)                         \
  X(canBITRATE_250K, -3)                         \
  X(canBITRATE_125K, -4)                         \
  X(canBITRATE_100K, -5)                         \
  X(canBITRATE_62K, -6)                          \
  X(canBITRATE_50K, -7)                          \
  X(canBITRATE_83K, -8)                          \
  X(canBITRATE_10K, -9)                          \
  X(canOPEN_EXCLUSIVE, 0x0008)                   \
  X(canOPEN_REQUIRE_EXTENDED, 0x0010)            \
  X(canOPEN_ACCEPT_VIRTUAL, 0x0020)              \
  X(canOPEN_OVERRIDE_EXCLUSIVE, 0x0040)          \
  X(canOPEN_REQUIRE_INIT_ACCESS, 0x0080)         \
  X(canOPEN_NO_INIT_ACCESS, 0x0100)              \
  X(canOPEN_ACCEPT_LARGE_DLC, 0x0200)            \
  X(canOPEN_CAN_FD, 0x0400)                      \
  X(canOPEN_CAN_FD_NONISO, 0x0800)               \
  X(canMSG_RTR, 0x0001)                          \
  X(canMSG_STD, 0x0002)                          \
  X(canMSG_EXT, 0x0004)                          \
  X(canMSG_WAKEUP, 0x0008)                       \
  X(canMSG_NERR, 0x0010)                         \
  X(canMSG_ERROR_FRAME, 0x0020)                  \
  X(canMSG_TXACK, 0x0040)                        \
  X(canMSG_TXRQ, 0x0080)                         \
  X(canMSG_LOCAL_TXACK, 0x10000000)              \
  X(canFDMSG_FDF, 0x010000)                      \
  X(canFDMSG_BRS, 0x020000)                      \
  X(canFDMSG_ESI, 0x040000)                      \
  X(canMSGERR_HW_OVERRUN, 0x0200)                \
  X(canMSGERR_SW_OVERRUN, 0x0400)                \
  X(canIOCTL_PREFER_EXT, 1)                      \
  X(canIOCTL_PREFER_STD, 2)                      \
  X(canIOCTL_CLEAR_ERROR_COUNTERS, 5)            \
  X(canIOCTL_SET_TIMER_SCALE, 6)                 \
  X(canIOCTL_SET_TXACK, 7)                       \
  X(canIOCTL_GET_RX_BUFFER_LEVEL, 8)             \
  X(canIOCTL_GET_TX_BUFFER_LEVEL, 9)             \
  X(canIOCTL_FLUSH_RX_BUFFER, 10)                \
  X(canIOCTL_FLUSH_TX_BUFFER, 11)                \
  X(canIOCTL_GET_TIMER_SCALE, 12)                \
  X(canIOCTL_SET_LOCAL_TXECHO, 32)               \
  X(canIOCTL_SET_LOCAL_TXACK, 46)                \
  X(kvLED_ACTION_ALL_LEDS_ON, 0)                 \
  X(kvLED_ACTION_ALL_LEDS_OFF, 1)                \
  X(canSTAT_ERROR_PASSIVE, 0x0001)               \
  X(canSTAT_BUS_OFF, 0x0002)                     \
  X(canSTAT_ERROR_WARNING, 0x0004)               \
  X(canSTAT_ERROR_ACTIVE, 0x0008)                \
  X(canSTAT_TX_PENDING, 0x0010)                  \
  X(canSTAT_RX_PENDING, 0x0020)                  \
  X(canSTAT_TXERR, 0x0080)                       \
  X(canSTAT_RXERR, 0x0100)                       \
  X(canSTAT_HW_OVERRUN, 0x0200)                  \
  X(canSTAT_SW_OVERRUN, 0x0400)                  \
  X(canDRIVER_OFF, 0)                            \
  X(canDRIVER_SILENT, 1)                         \
  X(canDRIVER_NORMAL, 4)                         \
  X(canDRIVER_SELFRECEPTION, 8)                  \
  X(canNOTIFY_NONE, 0)                           \
  X(canNOTIFY_RX, 0x0001)                        \
  X(canNOTIFY_TX, 0x0002)                        \
  X(canNOTIFY_ERROR, 0x0004)                     \
  X(canNOTIFY_STATUS, 0x0008)                    \
  X(canNOTIFY_ENVVAR, 0x0010)                    \
  X(canNOTIFY_BUSONOFF, 0x0020)                  \
  X(canNOTIFY_REMOVED, 0x0040)                   \
  X(canEVENT_RX, 32000)                          \
  X(canEVENT_TX, 32001)                          \
  X(canEVENT_ERROR, 32002)                       \
  X(canEVENT_STATUS, 32003)                      \
  X(canEVENT_ENVVAR, 32004)                      \
  X(canEVENT_BUSONOFF, 32005)                    \
  X(canEVENT_REMOVED, 32006)                     \
  X(canTRANSCEIVER_TYPE_UNKNOWN, 0)              \
  X(canTRANSCEIVER_TYPE_251, 1)                  \
  X(canTRANSCEIVER_TYPE_252, 2)                  \
  X(canTRANSCEIVER_TYPE_DNOPTO, 3)               \
  X(canTRANSCEIVER_TYPE_W210, 4)                 \
  X(canTRANSCEIVER_TYPE_SWC_PROTO, 5)            \
  X(canTRANSCEIVER_TYPE_SWC, 6)                  \
  X(canTRANSCEIVER_TYPE_EVA, 7)                  \
  X(canTRANSCEIVER_TYPE_FIBER, 8)                \
  X(canTRANSCEIVER_TYPE_K251, 9)                 \
  X(canTRANSCEIVER_TYPE_K, 10)                   \
  X(canTRANSCEIVER_TYPE_1054_OPTO, 11)           \
  X(canTRANSCEIVER_TYPE_SWC_OPTO, 12)            \
  X(canTRANSCEIVER_TYPE_TT, 13)                  \
  X(canTRANSCEIVER_TYPE_1050, 14)                \
  X(canTRANSCEIVER_TYPE_1050_OPTO, 15)           \
  X(canTRANSCEIVER_TYPE_1041, 16)                \
  X(canTRANSCEIVER_TYPE_1041_OPTO, 17)           \
  X(canTRANSCEIVER_TYPE_RS485, 18)               \
  X(canTRANSCEIVER_TYPE_LIN, 19)                 \
  X(canTRANSCEIVER_TYPE_KONE, 20)                \
  X(canCHANNELDATA_CHANNEL_CAP, 1)               \
  X(canCHANNELDATA_TRANS_CAP, 2)                 \
  X(canCHANNELDATA_CHANNEL_FLAGS, 3)             \
  X(canCHANNELDATA_CARD_TYPE, 4)                 \
  X(canCHANNELDATA_CARD_NUMBER, 5)               \
  X(canCHANNELDATA_CHAN_NO_ON_CARD, 6)           \
  X(canCHANNELDATA_CARD_SERIAL_NO, 7)            \
  X(canCHANNELDATA_TRANS_SERIAL_NO, 8)           \
  X(canCHANNELDATA_CARD_FIRMWARE_REV, 9)         \
  X(canCHANNELDATA_CARD_HARDWARE_REV, 10)        \
  X(canCHANNELDATA_CARD_UPC_NO, 11)              \
  X(canCHANNELDATA_TRANS_UPC_NO, 12)             \
  X(canCHANNELDATA_CHANNEL_NAME, 13)             \
  X(canCHANNELDATA_DLL_FILE_VERSION, 14)         \
  X(canCHANNELDATA_DLL_PRODUCT_VERSION, 15)      \
  X(canCHANNELDATA_DLL_FILETYPE, 16)             \
  X(canCHANNELDATA_TRANS_TYPE, 17)               \
  X(canCHANNELDATA_DEVICE_PHYSICAL_POSITION, 18) \
  X(canCHANNELDATA_UI_NUMBER, 19)                \
  X(canCHANNELDATA_TIMESYNC_ENABLED, 20)         \
  X(canCHANNELDATA_DRIVER_FILE_VERSION, 21)      \
  X(canCHANNELDATA_DRIVER_PRODUCT_VERSION, 22)   \
  X(canCHANNELDATA_MFGNAME_UNICODE, 23)          \
  X(canCHANNELDATA_MFGNAME_ASCII, 24)            \
  X(canCHANNELDATA_DEVDESCR_UNICODE, 25)         \
  X(canCHANNELDATA_DEVDESCR_ASCII, 26)           \
  X(canCHANNELDATA_DRIVER_NAME, 27)

namespace telpod::canlib_abi {

#define TELPOD_CANLIB_ENUM_ENTRY(name, value) name = (value),
enum : int { TELPOD_CANLIB_CONSTANTS(TELPOD_CANLIB_ENUM_ENTRY) };
#undef TELPOD_CANLIB_ENUM_ENTRY

// Serial number, firmware revision and UPC number come as 8 bytes each.
inline constexpr size_t kChannelNumberBytes = 8;

}  // namespace telpod::canlib_abi
