#pragma once

#include <cstdint>

namespace telpod {

// Little-endian 32-bit words inside the drivers' byte records.
inline void PutLe32(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
  at[2] = static_cast<uint8_t>(value >> 16);
  at[3] = static_cast<uint8_t>(value >> 24);
}

inline uint32_t GetLe32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
         static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

inline uint64_t GetLe64(const uint8_t* at) {
  return static_cast<uint64_t>(GetLe32(at)) | static_cast<uint64_t>(GetLe32(at + 4)) << 32;
}

inline void PutLe64(uint8_t* at, uint64_t value) {
  PutLe32(at, static_cast<uint32_t>(value));
  PutLe32(at + 4, static_cast<uint32_t>(value >> 32));
}

}  // namespace telpod
