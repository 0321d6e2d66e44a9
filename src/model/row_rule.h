#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <optional>

#include "model/can_senddb.h"

namespace telpod {

// A rolling (alive) counter in some bits of one data byte: start, start +
// step, ... up to wrap, then start again.
struct CounterRule {
  int byte = 1;       // D1..D8
  int first_bit = 0;  // 0 is the byte's least significant bit
  int bits = 4;       // 1..8
  int start = 0;
  int step = 1;
  int wrap = 15;  // the last value before the counter starts again

  // The largest value `bits` bits hold: 15 for a nibble.
  int MaxValue() const { return bits >= 1 && bits <= 8 ? (1 << bits) - 1 : 0; }

  friend bool operator==(const CounterRule&, const CounterRule&) = default;
};

enum class ChecksumAlgorithm { Xor, Sum, Crc8SaeJ1850, Crc8H2F };

// A check byte over other data bytes of the frame, the counter already in them.
struct ChecksumRule {
  int byte = 8;  // D1..D8
  ChecksumAlgorithm algorithm = ChecksumAlgorithm::Xor;
  // Bit n - 1 set: Dn is covered. None: every other byte of the frame's length.
  std::optional<uint8_t> covered;
  // Goes into a CRC before the data, low byte then high byte.
  std::optional<uint16_t> data_id;

  friend bool operator==(const ChecksumRule&, const ChecksumRule&) = default;
};

// What a row's frames carry besides its stored bytes.
struct RowRule {
  std::optional<CounterRule> counter;
  std::optional<ChecksumRule> checksum;

  bool empty() const { return !counter && !checksum; }
  friend bool operator==(const RowRule&, const RowRule&) = default;
};

// The rules of the eight message rows; a row without one sends its bytes as stored.
class RowRules {
 public:
  // Row i's rule, or null when it has none: the one question asked per frame.
  const RowRule* Find(int16_t i) const {
    const RowRule& rule = rows_[Row(i)];
    return rule.empty() ? nullptr : &rule;
  }
  const RowRule& Of(int16_t i) const { return rows_[Row(i)]; }
  void Set(int16_t i, const RowRule& rule) { rows_[Row(i)] = rule; }
  bool Any() const;

  friend bool operator==(const RowRules&, const RowRules&) = default;

 private:
  static size_t Row(int16_t i) {
    assert(i >= 0 && i < CAN_SendDB::kRows);
    return static_cast<size_t>(i);
  }

  std::array<RowRule, CAN_SendDB::kRows> rows_{};
};

}  // namespace telpod
