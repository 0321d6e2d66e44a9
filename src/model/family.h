#pragma once

#include <cstdint>

namespace telpod {

// The interface family of a device, numbered as t_select_Vender stores it.
enum class Family : int32_t { None = 0, CANUSB = 1, Interface = 2, Kvaser = 3, SocketCAN = 4 };

// The family a stored number names; None for any number that names none.
constexpr Family FamilyOf(int32_t number) {
  return number >= static_cast<int32_t>(Family::CANUSB) &&
                 number <= static_cast<int32_t>(Family::SocketCAN)
             ? static_cast<Family>(number)
             : Family::None;
}

constexpr int32_t FamilyNumber(Family family) {
  return static_cast<int32_t>(family);
}

// Every family that drives devices, in number order.
inline constexpr Family kFamilies[] = {Family::CANUSB, Family::Interface, Family::Kvaser,
                                       Family::SocketCAN};

// The family's name as the user knows it: "CANUSB", "Interface", ...
constexpr const char* FamilyName(Family family) {
  switch (family) {
    case Family::CANUSB:
      return "CANUSB";
    case Family::Interface:
      return "Interface";
    case Family::Kvaser:
      return "Kvaser";
    case Family::SocketCAN:
      return "SocketCAN";
    case Family::None:
      break;
  }
  return "";
}

// A family's bit in the driver check's mask: CANUSB 1, Interface 2,
// Kvaser 4, SocketCAN 8; no bit for None.
constexpr int32_t DriverMaskBit(Family family) {
  return family == Family::None ? 0 : int32_t{1} << (FamilyNumber(family) - 1);
}

}  // namespace telpod
