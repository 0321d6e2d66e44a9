#include "model/row_rule_check.h"

#include "model/checksum.h"
#include "model/row_rule_stamp.h"

namespace telpod {
namespace {

bool ValidByte(int byte) {
  return byte >= 1 && byte <= CAN_SendDB::kDataBytes;
}

std::optional<RuleFault> CounterFault(const CounterRule& c) {
  if (!ValidByte(c.byte)) return RuleFault::ByteOutOfRange;
  if (c.first_bit < 0 || c.bits < 1 || c.first_bit + c.bits > 8) return RuleFault::BitsOutsideByte;
  if (c.start < 0 || c.wrap < 0 || c.start > c.MaxValue() || c.wrap > c.MaxValue()) {
    return RuleFault::CounterValueTooLarge;
  }
  if (c.step < 1 || c.step > c.MaxValue()) return RuleFault::StepOutOfRange;
  if (c.start > c.wrap) return RuleFault::StartAboveWrap;
  return std::nullopt;
}

std::optional<RuleFault> ChecksumFault(const ChecksumRule& c) {
  if (!ValidByte(c.byte)) return RuleFault::ByteOutOfRange;
  if (c.covered && (*c.covered & ByteBit(c.byte))) return RuleFault::CoversItself;
  if (c.covered && *c.covered == 0) return RuleFault::NothingCovered;
  if (c.data_id && !IsCrc(c.algorithm)) return RuleFault::DataIdWithoutCrc;
  return std::nullopt;
}

}  // namespace

std::optional<RuleFault> FirstFault(const RowRule& rule) {
  if (rule.counter) {
    if (auto fault = CounterFault(*rule.counter)) return fault;
  }
  if (rule.checksum) {
    if (auto fault = ChecksumFault(*rule.checksum)) return fault;
  }
  // A check byte takes all eight bits of its byte.
  if (rule.counter && rule.checksum && rule.counter->byte == rule.checksum->byte) {
    return RuleFault::Overlap;
  }
  return std::nullopt;
}

std::optional<RuleFault> FirstFault(const RowRule& rule, int dlc) {
  if (auto fault = FirstFault(rule)) return fault;
  if (rule.counter && rule.counter->byte > dlc) return RuleFault::CounterBeyondLength;
  if (rule.checksum && rule.checksum->byte > dlc) return RuleFault::ChecksumBeyondLength;
  if (rule.checksum && rule.checksum->covered && (*rule.checksum->covered & ~LengthMask(dlc))) {
    return RuleFault::CoveredBeyondLength;
  }
  return std::nullopt;
}

platform::SourceText FaultText(RuleFault fault) {
  switch (fault) {
    case RuleFault::ByteOutOfRange:
      return TELPOD_TEXT("RowRules", "データバイトは D1〜D8 のどれかです。");
    case RuleFault::BitsOutsideByte:
      return TELPOD_TEXT(
          "RowRules",
          "カウンターのビットがバイトの外に出ています（開始ビットとビット数の和は 8 まで）。");
    case RuleFault::CounterValueTooLarge:
      return TELPOD_TEXT("RowRules",
                         "カウンターの開始値と折り返し値は、そのビット数に収まる値です。");
    case RuleFault::StepOutOfRange:
      return TELPOD_TEXT("RowRules",
                         "カウンターの増分は 1 から、そのビット数に収まる最大値までです。");
    case RuleFault::StartAboveWrap:
      return TELPOD_TEXT("RowRules", "カウンターの開始値が折り返し値より大きくなっています。");
    case RuleFault::Overlap:
      return TELPOD_TEXT("RowRules", "カウンターとチェックサムが同じビットを使っています。");
    case RuleFault::CoversItself:
      return TELPOD_TEXT("RowRules",
                         "チェックサムのバイトは、チェックサムの対象に含められません。");
    case RuleFault::NothingCovered:
      return TELPOD_TEXT("RowRules", "チェックサムの対象のバイトがありません。");
    case RuleFault::DataIdWithoutCrc:
      return TELPOD_TEXT("RowRules", "データIDを使えるのは CRC だけです。");
    case RuleFault::CounterBeyondLength:
      return TELPOD_TEXT("RowRules", "カウンターのバイトが DLC を超えています。");
    case RuleFault::ChecksumBeyondLength:
      return TELPOD_TEXT("RowRules", "チェックサムのバイトが DLC を超えています。");
    case RuleFault::CoveredBeyondLength:
      return TELPOD_TEXT("RowRules", "チェックサムの対象に DLC を超えるバイトがあります。");
  }
  return TELPOD_TEXT("RowRules", "データバイトは D1〜D8 のどれかです。");
}

}  // namespace telpod
