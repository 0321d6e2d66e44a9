#pragma once

#include <array>
#include <cassert>
#include <cstdint>

#include "model/array_fill.h"

namespace telpod {

// The send table: the eight message rows shared by the window and the send
// loop. A passive store; it validates nothing and callers keep the row index
// within 0..7.
class CAN_SendDB : public ArrayFill {
 public:
  static constexpr int kRows = 8;
  static constexpr int kDataBytes = 8;

  CAN_SendDB() { Param_ALL_Clear(); }

  int32_t CAN_Array_MAX() const { return CAN_Array_MAX_; }
  void set_CAN_Array_MAX(int32_t v) { CAN_Array_MAX_ = v; }

  // Every row back to its default, then the run-time state cleared.
  void Param_ALL_Clear();
  // Drops pending one-shot requests and primes every row's accumulated time
  // with its period, so periodic rows are due on the first pass.
  void Timer_Clear();

  int32_t CAN_SendOperation(int16_t i) const { return SendOperation_[Row(i)]; }
  void set_CAN_SendOperation(int16_t i, int32_t v) { SendOperation_[Row(i)] = v; }
  int32_t CAN_SendCycleOperation(int16_t i) const { return SendCycleOperation_[Row(i)]; }
  void set_CAN_SendCycleOperation(int16_t i, int32_t v) { SendCycleOperation_[Row(i)] = v; }
  uint8_t CAN_Send29(int16_t i) const { return Send29_[Row(i)]; }
  void set_CAN_Send29(int16_t i, uint8_t v) { Send29_[Row(i)] = v; }
  double CAN_SendTime(int16_t i) const { return SendTime_[Row(i)]; }
  void set_CAN_SendTime(int16_t i, double v) { SendTime_[Row(i)] = v; }
  double CAN_SendCycleTime(int16_t i) const { return SendCycleTime_[Row(i)]; }
  void set_CAN_SendCycleTime(int16_t i, double v) { SendCycleTime_[Row(i)] = v; }
  int32_t CAN_ID(int16_t i) const { return ID_[Row(i)]; }
  void set_CAN_ID(int16_t i, int32_t v) { ID_[Row(i)] = v; }
  uint8_t CAN_DLC(int16_t i) const { return DLC_[Row(i)]; }
  void set_CAN_DLC(int16_t i, uint8_t v) { DLC_[Row(i)] = v; }

  // Data byte n (1..8) of row i; CAN_Data1 .. CAN_Data8 below are its names.
  uint8_t CAN_Data(int n, int16_t i) const { return Data_[Column(n)][Row(i)]; }
  void set_CAN_Data(int n, int16_t i, uint8_t v) { Data_[Column(n)][Row(i)] = v; }

  uint8_t CAN_Data1(int16_t i) const { return CAN_Data(1, i); }
  uint8_t CAN_Data2(int16_t i) const { return CAN_Data(2, i); }
  uint8_t CAN_Data3(int16_t i) const { return CAN_Data(3, i); }
  uint8_t CAN_Data4(int16_t i) const { return CAN_Data(4, i); }
  uint8_t CAN_Data5(int16_t i) const { return CAN_Data(5, i); }
  uint8_t CAN_Data6(int16_t i) const { return CAN_Data(6, i); }
  uint8_t CAN_Data7(int16_t i) const { return CAN_Data(7, i); }
  uint8_t CAN_Data8(int16_t i) const { return CAN_Data(8, i); }
  void set_CAN_Data1(int16_t i, uint8_t v) { set_CAN_Data(1, i, v); }
  void set_CAN_Data2(int16_t i, uint8_t v) { set_CAN_Data(2, i, v); }
  void set_CAN_Data3(int16_t i, uint8_t v) { set_CAN_Data(3, i, v); }
  void set_CAN_Data4(int16_t i, uint8_t v) { set_CAN_Data(4, i, v); }
  void set_CAN_Data5(int16_t i, uint8_t v) { set_CAN_Data(5, i, v); }
  void set_CAN_Data6(int16_t i, uint8_t v) { set_CAN_Data(6, i, v); }
  void set_CAN_Data7(int16_t i, uint8_t v) { set_CAN_Data(7, i, v); }
  void set_CAN_Data8(int16_t i, uint8_t v) { set_CAN_Data(8, i, v); }

  // The eight data bytes of row i in order D1..D8.
  std::array<uint8_t, kDataBytes> DataBytes(int16_t i) const;

 private:
  static size_t Row(int16_t i) {
    assert(i >= 0 && i < kRows);
    return static_cast<size_t>(i);
  }
  static size_t Column(int n) {
    assert(n >= 1 && n <= kDataBytes);
    return static_cast<size_t>(n - 1);
  }

  int32_t CAN_Array_MAX_ = kRows - 1;
  std::array<int32_t, kRows> SendOperation_{};
  std::array<int32_t, kRows> SendCycleOperation_{};
  std::array<uint8_t, kRows> Send29_{};
  std::array<double, kRows> SendTime_{};
  std::array<double, kRows> SendCycleTime_{};
  std::array<int32_t, kRows> ID_{};
  std::array<uint8_t, kRows> DLC_{};
  std::array<std::array<uint8_t, kRows>, kDataBytes> Data_{};  // by column, D1 first
};

}  // namespace telpod
