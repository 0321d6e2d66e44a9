#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace telpod {

// 64-bit fixed-point currency: the value times 10 000.
using Currency = int64_t;

// The fill routines every passive store offers: set elements 0..Arayy_MAX of
// one array to a value. A negative Arayy_MAX writes nothing; one past the
// array's end stops at its last element.
class ArrayFill {
 public:
  template <size_t N>
  static void Arayy_ALL_Clear_zero_Currency(int32_t Arayy_MAX, Currency set_value,
                                            std::array<Currency, N>& Arayy) {
    Fill(Arayy_MAX, set_value, Arayy);
  }
  template <size_t N>
  static void Arayy_ALL_Clear_zero_long(int32_t Arayy_MAX, int32_t set_value,
                                        std::array<int32_t, N>& Arayy) {
    Fill(Arayy_MAX, set_value, Arayy);
  }
  template <size_t N>
  static void Arayy_ALL_Clear_zero_byte(int32_t Arayy_MAX, uint8_t set_value,
                                        std::array<uint8_t, N>& Arayy) {
    Fill(Arayy_MAX, set_value, Arayy);
  }
  template <size_t N>
  static void Arayy_ALL_Clear_zero_string(int32_t Arayy_MAX, const std::string& set_value,
                                          std::array<std::string, N>& Arayy) {
    Fill(Arayy_MAX, set_value, Arayy);
  }
  template <size_t N>
  static void Arayy_ALL_Clear_zero_double(int32_t Arayy_MAX, double set_value,
                                          std::array<double, N>& Arayy) {
    Fill(Arayy_MAX, set_value, Arayy);
  }

 private:
  template <typename T, size_t N>
  static void Fill(int32_t last, const T& value, std::array<T, N>& array) {
    if (last < 0) return;
    const size_t end = std::min(static_cast<size_t>(last) + 1, N);
    std::fill(array.begin(), array.begin() + static_cast<std::ptrdiff_t>(end), value);
  }
};

}  // namespace telpod
