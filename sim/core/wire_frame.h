#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cansim {

// A frame a library accepted, as the core captures and logs it.
struct WireFrame {
  std::string_view device_name;  // "canusb0", "ifcan1", "kvaser0"
  int32_t device = 0;
  uint32_t id = 0;
  bool extended = false;
  bool remote = false;
  uint8_t dlc = 0;
  const uint8_t* data = nullptr;  // eight bytes
  const void* raw = nullptr;      // the record as the caller handed it over
  size_t raw_size = 0;
};

}  // namespace cansim
