#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace telpod {

// Text buffers the drivers fill: 64 characters, all NUL at first.
inline constexpr size_t kDriverTextBuffer = 64;

// The buffer's characters with every NUL removed, read as ANSI (CP932) and
// returned as UTF-8.
std::string TextFromDriverBuffer(const char* buffer, size_t size);

// A UTF-8 text as the drivers take it: ANSI (CP932).
std::string DriverText(const std::string& utf8);

// The low 16 bits of a driver result as a signed number (0x10001 -> 1,
// 0xFFFF -> -1).
inline int16_t Low16(int32_t result) {
  return static_cast<int16_t>(result & 0xFFFF);
}

}  // namespace telpod
