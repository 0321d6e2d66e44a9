#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/checksum.h"
#include "model/row_rule_check.h"
#include "model/row_rule_stamp.h"

namespace telpod {
namespace {

using Bytes = std::vector<uint8_t>;
using A = ChecksumAlgorithm;

Bytes Ascii(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

// The published check values ("123456789") and AUTOSAR's test vectors for
// both CRCs; XOR and sum of the same digits worked out: 0x31 ^ ... ^ 0x39 =
// 0x31, 9 * 0x35 = 0x1DD.
TEST(ChecksumTest, KnownAnswers) {
  const std::tuple<A, Bytes, uint8_t> cases[] = {
      {A::Crc8SaeJ1850, Ascii("123456789"), 0x4B},
      {A::Crc8H2F, Ascii("123456789"), 0xDF},
      {A::Xor, Ascii("123456789"), 0x31},
      {A::Sum, Ascii("123456789"), 0xDD},
      {A::Crc8SaeJ1850, {0x00, 0x00, 0x00, 0x00}, 0x59},
      {A::Crc8SaeJ1850, {0xF2, 0x01, 0x83}, 0x37},
      {A::Crc8SaeJ1850, {0x0F, 0xAA, 0x00, 0x55}, 0x79},
      {A::Crc8SaeJ1850, {0x33, 0x22, 0x55, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}, 0xCB},
      {A::Crc8SaeJ1850, {0xFF, 0xFF, 0xFF, 0xFF}, 0x74},
      {A::Crc8H2F, {0x00, 0x00, 0x00, 0x00}, 0x12},
      {A::Crc8H2F, {0xF2, 0x01, 0x83}, 0xC2},
      {A::Crc8H2F, {0x00, 0xFF, 0x55, 0x11}, 0x77},
      {A::Crc8H2F, {0x92, 0x6B, 0x55}, 0x33},
      {A::Crc8H2F, {0xFF, 0xFF, 0xFF, 0xFF}, 0x6C},
      // Nothing to check: the initial value with the final XOR.
      {A::Crc8H2F, {}, 0x00},
      {A::Xor, {}, 0x00},
  };
  for (const auto& [algorithm, bytes, expected] : cases) {
    EXPECT_EQ(Checksum(algorithm, std::nullopt, bytes), expected)
        << static_cast<int>(algorithm) << " " << bytes.size();
  }
}

// Alive counter in the low nibble of D7, CRC-8H2F over D1..D7 in D8, on the
// frame 11 22 33 44 55 66 7x ??. For counter 1, D7 = 0x71 and the register,
// starting at 0xFF, takes each byte XORed in and then eight shifts by 0x2F:
//   11: EE -> C3   22: E1 -> 59   33: 6A -> 9C   44: D8 -> FC
//   55: A9 -> E8   66: 8E -> 56   71: 27 -> BE   final XOR FF: 41.
// The data ID 0x1234 goes in first as 34 12: 0x79 (8H2F), 0x64 (J1850).
TEST(StampFrameTest, CounterThenChecksumOverTheFrameAsItGoesOut) {
  CanFrame frame{0x123, false, false, 8, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x7F, 0xEE}};
  RowRule rule{CounterRule{7, 0, 4, 0, 1, 14}, ChecksumRule{8, A::Crc8H2F, {}, {}}};
  const std::tuple<int, std::optional<uint16_t>, A, uint8_t> cases[] = {
      {0, {}, A::Crc8H2F, 0x6E},     {1, {}, A::Crc8H2F, 0x41},          {2, {}, A::Crc8H2F, 0x30},
      {1, 0x1234, A::Crc8H2F, 0x79}, {1, 0x1234, A::Crc8SaeJ1850, 0x64}, {1, {}, A::Xor, 0x06},
      {1, {}, A::Sum, 0xD6},
  };
  for (const auto& [counter, data_id, algorithm, check] : cases) {
    rule.checksum->data_id = data_id;
    rule.checksum->algorithm = algorithm;
    CanFrame out = frame;
    StampFrame(rule, counter, out);
    EXPECT_EQ(out.data[6], 0x70 | counter);
    EXPECT_EQ(out.data[7], check) << counter << " " << static_cast<int>(algorithm);
    out.data[6] = frame.data[6];
    out.data[7] = frame.data[7];
    EXPECT_EQ(out, frame);  // nothing else touched
  }
}

// Counters in odd places: the values of the first frames, each written into its
// bits with the byte's other bits kept (the byte holds 0xFF before).
TEST(StampFrameTest, CounterSequencesWrapAndKeepTheOtherBits) {
  const std::tuple<CounterRule, std::vector<int>, std::vector<uint8_t>> cases[] = {
      // 0..14, 15 being "invalid" to the receiver.
      {{1, 0, 4, 0, 1, 14},
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 1},
       {0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE,
        0xF0, 0xF1}},
      // Three bits from bit 5, by three from 2 up to 6: 5 + 3 passes 6.
      {{1, 5, 3, 2, 3, 6}, {2, 5, 2, 5, 2, 5}, {0x5F, 0xBF, 0x5F, 0xBF, 0x5F, 0xBF}},
      {{1, 7, 1, 0, 1, 1}, {0, 1, 0, 1, 0, 1}, {0x7F, 0xFF, 0x7F, 0xFF, 0x7F, 0xFF}},
      {{1, 0, 8, 250, 2, 255}, {250, 252, 254, 250, 252, 254}, {250, 252, 254, 250, 252, 254}},
      {{1, 2, 4, 1, 4, 15}, {1, 5, 9, 13, 1, 5}, {0xC7, 0xD7, 0xE7, 0xF7, 0xC7, 0xD7}},
      // A start equal to its wrap stays put.
      {{1, 0, 2, 2, 1, 2}, {2, 2, 2, 2, 2, 2}, {0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE}},
  };
  for (const auto& [counter, values, bytes] : cases) {
    SCOPED_TRACE(::testing::PrintToString(values));
    std::vector<int> seen;
    std::vector<uint8_t> written;
    for (int value = counter.start; seen.size() < values.size();
         value = NextCounterValue(counter, value)) {
      CanFrame frame{1, false, false, 8, {0xFF}};
      StampFrame({counter, {}}, value, frame);
      seen.push_back(value);
      written.push_back(frame.data[0]);
    }
    EXPECT_EQ(seen, values);
    EXPECT_EQ(written, bytes);
  }
}

// A rule writes only into bytes the frame carries: beyond a shortened DLC
// the counter and the checksum are left out, and the default cover shrinks
// with the length.
TEST(StampFrameTest, BytesBeyondTheLengthAreNeverTouched) {
  const RowRule rule{CounterRule{5, 0, 8, 7, 1, 255}, ChecksumRule{3, A::Sum, {}, {}}};
  const std::tuple<uint8_t, Bytes> cases[] = {
      {8, {1, 2, 0x23, 4, 7, 6, 7, 8}},  // 1 + 2 + 4 + 7 + 6 + 7 + 8
      {4, {1, 2, 7, 4, 5, 6, 7, 8}},     // the counter's D5 is not sent
      {2, {1, 2, 3, 4, 5, 6, 7, 8}},     {0, {1, 2, 3, 4, 5, 6, 7, 8}},
      {15, {1, 2, 0x23, 4, 7, 6, 7, 8}},  // a length above 8 carries eight
  };
  for (const auto& [dlc, bytes] : cases) {
    CanFrame frame{1, false, false, dlc, {1, 2, 3, 4, 5, 6, 7, 8}};
    StampFrame(rule, 7, frame);
    EXPECT_EQ(Bytes(frame.data.begin(), frame.data.end()), bytes) << int(dlc);
  }
  ChecksumRule chosen{8, A::Xor, 0b0100'0101, {}};
  EXPECT_EQ(CoveredBytes(chosen, 8), 0b0100'0101);
  EXPECT_EQ(CoveredBytes(chosen, 3), 0b0000'0101);
}

// Each refusal with the smallest rule that earns it; a sound rule passes.
TEST(RuleCheckTest, EachImpossibleRuleIsRefusedWithItsReason) {
  using F = RuleFault;
  const CounterRule nibble{7, 0, 4, 0, 1, 14};
  const ChecksumRule crc{8, A::Crc8H2F, {}, 0x1234};
  const auto with = [](auto rule, auto change) {
    change(rule);
    return rule;
  };
  const std::tuple<RowRule, int, std::optional<F>> cases[] = {
      {{nibble, crc}, 8, {}},
      {{{}, ChecksumRule{1, A::Xor, {}, {}}}, 1, {}},
      {{with(nibble, [](auto& c) { c.byte = 9; }), {}}, 8, F::ByteOutOfRange},
      {{{}, with(crc, [](auto& c) { c.byte = 0; })}, 8, F::ByteOutOfRange},
      {{with(nibble, [](auto& c) { c.first_bit = 5; }), {}}, 8, F::BitsOutsideByte},
      {{with(nibble, [](auto& c) { c.bits = 0; }), {}}, 8, F::BitsOutsideByte},
      {{with(nibble, [](auto& c) { c.wrap = 16; }), {}}, 8, F::CounterValueTooLarge},
      {{with(nibble, [](auto& c) { c.start = -1; }), {}}, 8, F::CounterValueTooLarge},
      {{with(nibble, [](auto& c) { c.step = 0; }), {}}, 8, F::StepOutOfRange},
      {{with(nibble, [](auto& c) { c.step = 16; }), {}}, 8, F::StepOutOfRange},
      {{with(nibble, [](auto& c) { c.start = 15; }), {}}, 8, F::StartAboveWrap},
      {{with(nibble, [](auto& c) { c.byte = 8; }), crc}, 8, F::Overlap},
      {{nibble, with(crc, [](auto& c) { c.covered = 0x81; })}, 8, F::CoversItself},
      {{nibble, with(crc, [](auto& c) { c.covered = 0; })}, 8, F::NothingCovered},
      {{nibble, with(crc, [](auto& c) { c.algorithm = A::Sum; })}, 8, F::DataIdWithoutCrc},
      {{nibble, {}}, 6, F::CounterBeyondLength},
      {{{}, crc}, 7, F::ChecksumBeyondLength},
      {{{},
        with(crc,
             [](auto& c) {
               c.byte = 2;
               c.covered = 0x41;
             })},
       6,
       F::CoveredBeyondLength},
  };
  for (const auto& [rule, dlc, fault] : cases) {
    EXPECT_EQ(FirstFault(rule, dlc), fault) << (fault ? static_cast<int>(*fault) : -1);
  }
  // The length is not the rule's own business.
  EXPECT_EQ(FirstFault(RowRule{nibble, crc}), std::nullopt);
}

}  // namespace
}  // namespace telpod
