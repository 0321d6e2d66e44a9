#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/array_fill.h"

namespace telpod {

// The catalogue of SocketCAN interfaces found at start-up. Like the CANUSB
// and Interface board catalogues it is filled from index 1: the i-th
// interface found is at index i, and the chosen one at SocketCAN_SelectNo.
// A passive store; an index outside 0..30 reads as empty and writes nothing.
class CAN_DB_SocketCAN : public ArrayFill {
 public:
  static constexpr int32_t kCapacity = 30;
  static constexpr size_t kEntries = kCapacity + 1;

  CAN_DB_SocketCAN() { Param_ALL_Clear(); }

  // Count 0, capacity 30, no selection, no socket, every name empty.
  void Param_ALL_Clear();

  int32_t SocketCAN_FindCount() const { return SocketCAN_FindCount_; }
  void set_SocketCAN_FindCount(int32_t v) { SocketCAN_FindCount_ = v; }
  int32_t SocketCAN_FindCount_MAX() const { return SocketCAN_FindCount_MAX_; }
  void set_SocketCAN_FindCount_MAX(int32_t v) { SocketCAN_FindCount_MAX_ = v; }
  int32_t SocketCAN_SelectNo() const { return SocketCAN_SelectNo_; }
  void set_SocketCAN_SelectNo(int32_t v) { SocketCAN_SelectNo_ = v; }
  // The raw socket of the running connection; -1 when none is open.
  int32_t SocketCAN_Handle() const { return SocketCAN_Handle_; }
  void set_SocketCAN_Handle(int32_t v) { SocketCAN_Handle_ = v; }

  // Interface name of catalogue item i ("can0", "vcan0", ...).
  std::string SocketCAN_IfName(int16_t i) const;
  void set_SocketCAN_IfName(int16_t i, std::string v);

 private:
  static bool InRange(int16_t i) { return i >= 0 && static_cast<size_t>(i) < kEntries; }

  int32_t SocketCAN_FindCount_ = 0;
  int32_t SocketCAN_FindCount_MAX_ = kCapacity;
  int32_t SocketCAN_SelectNo_ = 0;
  int32_t SocketCAN_Handle_ = -1;
  std::array<std::string, kEntries> SocketCAN_IfName_;
};

}  // namespace telpod
