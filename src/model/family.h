#pragma once

#include <cstdint>

namespace telpod {

// An interface family, numbered as t_select_Vender stores it: its row in the
// family table (devices/family_registry.h) plus one. The first four rows
// keep the numbers the program has always given them; rows added later
// number on without a name here.
enum class Family : int32_t { None = 0, CANUSB = 1, Interface = 2, Kvaser = 3, SocketCAN = 4 };

constexpr int32_t FamilyNumber(Family family) {
  return static_cast<int32_t>(family);
}

// A family's bit in the driver check's mask: CANUSB 1, Interface 2,
// Kvaser 4, SocketCAN 8, the next row 16; no bit for None.
constexpr int32_t DriverMaskBit(Family family) {
  const int32_t number = FamilyNumber(family);
  return number >= 1 && number <= 31 ? int32_t{1} << (number - 1) : 0;
}

}  // namespace telpod
