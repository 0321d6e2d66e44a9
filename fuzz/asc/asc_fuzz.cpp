// The Vector ASC reader: any bytes as an ASC log.
#include "../recorded_log_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  telpod::fuzz::ReadTwice(data, size, telpod::LogFormat::Asc);
  return 0;
}
