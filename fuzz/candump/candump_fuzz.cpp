// The candump log reader: any bytes as a candump log.
#include "../recorded_log_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  telpod::fuzz::ReadTwice(data, size, telpod::LogFormat::Candump);
  return 0;
}
