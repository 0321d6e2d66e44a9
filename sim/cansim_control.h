/* The simulated drivers' control interface for tests and benchmarks.
 *
 * Each simulated library (libcanusbdrv.so, libIFCan.so, libcanlib.so.1)
 * exports these functions next to its vendor entry points; they act on that
 * library's own state. Reach them with dlsym on the handle of the library
 * the program loaded (dlopen of the same path returns the same library).
 * Not thread-safe, like the program that drives them. */
#ifndef CANSIM_CONTROL_H
#define CANSIM_CONTROL_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define CANSIM_RAW_MAX 32

/* One frame the library accepted for the bus. */
typedef struct cansim_frame {
  int64_t monotonic_ns;        /* CLOCK_MONOTONIC when the write call ran */
  int64_t realtime_ns;         /* wall-clock time, as written to the log */
  int32_t device;              /* adapter index (0..), board port, or channel number */
  uint32_t id;                 /* identifier without format bits */
  uint8_t extended;            /* 1 for a 29-bit identifier */
  uint8_t dlc;                 /* length as handed over */
  uint8_t remote;              /* 1 for a remote frame (no data) */
  uint8_t data[8];             /* all eight data bytes of the record */
  uint32_t raw_size;           /* bytes in raw */
  uint8_t raw[CANSIM_RAW_MAX]; /* the record as handed over: CANMsg (20), the
                                  board message (24), the bytes canWrite read
                                  from its buffer (the length, at most 8) */
} cansim_frame;

/* Forgets everything (devices, open handles, counters, call log, frames,
 * faults) and goes back to the built-in default: one device. */
void cansim_reset(void);

/* Replaces the configuration with `text` (the CANSIM_CONFIG file format)
 * and clears all state as cansim_reset does. 0 on success; -1 on a syntax
 * error, with the reason in `error` and the old state untouched. */
int cansim_configure(const char* text, char* error, size_t error_size);

/* Calls of one entry point since the last reset; -1 for an unknown name. */
long long cansim_call_count(const char* entry_point);

/* The calls in order, each formatted as name(arguments), texts quoted:
 * CanOpenPort("IFCAN1"), CanClosePort(-1), canWrite(0,2015,8,2). */
size_t cansim_call_log_size(void);
/* Copies entry `index` (NUL-terminated, truncated to fit); its full length,
 * or -1 when there is no such entry. */
int cansim_call_log_entry(size_t index, char* text, size_t text_size);

/* Makes calls first_call .. first_call + count - 1 (1-based, count -1 =
 * every later call) of `entry_point` return `result` without doing
 * anything. 0, or -1 for an unknown name. */
int cansim_fault(const char* entry_point, long long first_call, long long count, long long result);

/* Captured frames, oldest first. */
size_t cansim_frame_count(void);
int cansim_get_frame(size_t index, cansim_frame* out); /* 0, or -1 */
/* Moves up to `max` of the oldest frames out of the capture. */
size_t cansim_take_frames(cansim_frame* out, size_t max);
/* Frames not captured because the capture was full (65536 frames). */
long long cansim_dropped_frames(void);

/* The bytes of the last record handed to (or filled by) `entry_point`:
 * canusb_Write, CanGetConfig, CanSetConfig, CanSendMessage, canWrite.
 * Returns the record's size and copies at most `size` bytes. */
size_t cansim_last_record(const char* entry_point, void* out, size_t size);

/* Sends the frame log to `target` ("-" = standard output, NULL or "" = no
 * log), replacing CANSIM_LOG; flushes the old one first. 0, or -1 when the
 * file cannot be opened (the log is then off). */
int cansim_set_log(const char* target);
void cansim_flush_log(void);

#ifdef __cplusplus
}
#endif

#endif /* CANSIM_CONTROL_H */
