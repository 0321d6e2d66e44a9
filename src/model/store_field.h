#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

namespace telpod {

// What a getter hands out: numbers by value, texts by reference.
template <typename T>
using FieldGet = std::conditional_t<std::is_scalar_v<T>, T, const T&>;

// Element `index` of a fixed array, or the type's zero value when the index
// lies outside it: a bad catalogue index reads as "nothing there".
template <typename T, size_t N>
FieldGet<T> ValueAt(const std::array<T, N>& array, int16_t index) {
  static const T kEmpty{};
  if (index < 0 || static_cast<size_t>(index) >= N) return kEmpty;
  return array[static_cast<size_t>(index)];
}

// Stores into element `index`; an index outside the array writes nothing.
template <typename T, size_t N, typename V>
void StoreAt(std::array<T, N>& array, int16_t index, V&& value) {
  if (index < 0 || static_cast<size_t>(index) >= N) return;
  array[static_cast<size_t>(index)] = std::forward<V>(value);
}

}  // namespace telpod

// One field of a passive store: the private member, a getter named as the
// field and a setter set_ + field. Leaves the class in its private section.
#define TELPOD_STORE_FIELD(Type, Name)    \
 public:                                  \
  ::telpod::FieldGet<Type> Name() const { \
    return Name##_;                       \
  }                                       \
  void set_##Name(Type value) {           \
    Name##_ = std::move(value);           \
  }                                       \
                                          \
 private:                                 \
  Type Name##_{};

// One indexed property: a fixed array of `Size` elements behind a getter and
// a setter that take a 16-bit index.
#define TELPOD_INDEXED_FIELD(Type, Name, Size)           \
 public:                                                 \
  ::telpod::FieldGet<Type> Name(int16_t index) const {   \
    return ::telpod::ValueAt(Name##_, index);            \
  }                                                      \
  void set_##Name(int16_t index, Type value) {           \
    ::telpod::StoreAt(Name##_, index, std::move(value)); \
  }                                                      \
                                                         \
 private:                                                \
  std::array<Type, Size> Name##_{};
