/* zq_timeGetTime: monotonic milliseconds with sub-millisecond resolution.
   Only differences of two readings mean anything. */
#include <time.h>

__attribute__((visibility("default"))) double zq_timeGetTime(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (double)ts.tv_sec * 1000.0 + (double)ts.tv_nsec / 1.0e6;
}
