#include "model/row_rule_stamp.h"

#include <algorithm>
#include <array>

#include "model/checksum.h"

namespace telpod {
namespace {

bool Carried(int byte, int dlc) {
  return (ByteBit(byte) & LengthMask(dlc)) != 0;
}

void WriteCounter(const CounterRule& counter, int value, CanFrame& frame) {
  if (counter.first_bit < 0 || counter.first_bit > 7) return;  // never shift out of range
  const auto mask = static_cast<uint8_t>(counter.MaxValue() << counter.first_bit);
  uint8_t& byte = frame.data[static_cast<size_t>(counter.byte - 1)];
  byte = static_cast<uint8_t>((byte & ~mask) | ((value << counter.first_bit) & mask));
}

void WriteChecksum(const ChecksumRule& checksum, CanFrame& frame) {
  const uint8_t covered = CoveredBytes(checksum, frame.dlc);
  std::array<uint8_t, CanFrame::kMaxData> bytes{};
  size_t count = 0;
  for (size_t n = 0; n < bytes.size(); ++n) {
    if (covered & (1u << n)) bytes[count++] = frame.data[n];
  }
  frame.data[static_cast<size_t>(checksum.byte - 1)] =
      Checksum(checksum.algorithm, checksum.data_id, std::span(bytes.data(), count));
}

}  // namespace

uint8_t ByteBit(int byte) {
  return byte >= 1 && byte <= CanFrame::kMaxData ? static_cast<uint8_t>(1u << (byte - 1)) : 0;
}

uint8_t LengthMask(int dlc) {
  return static_cast<uint8_t>((1u << std::clamp(dlc, 0, CanFrame::kMaxData)) - 1);
}

uint8_t CoveredBytes(const ChecksumRule& checksum, int dlc) {
  return static_cast<uint8_t>(checksum.covered.value_or(0xFF) & LengthMask(dlc) &
                              ~ByteBit(checksum.byte));
}

int NextCounterValue(const CounterRule& counter, int value) {
  const int next = value + counter.step;
  return next > counter.wrap ? counter.start : next;
}

void StampFrame(const RowRule& rule, int counter_value, CanFrame& frame) {
  if (rule.counter && Carried(rule.counter->byte, frame.dlc)) {
    WriteCounter(*rule.counter, counter_value, frame);
  }
  if (rule.checksum && Carried(rule.checksum->byte, frame.dlc)) {
    WriteChecksum(*rule.checksum, frame);
  }
}

}  // namespace telpod
