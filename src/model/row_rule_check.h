#pragma once

#include <optional>

#include "model/row_rule.h"
#include "platform/translation.h"

namespace telpod {

// Why a rule cannot be followed.
enum class RuleFault {
  ByteOutOfRange,
  BitsOutsideByte,
  CounterValueTooLarge,
  StepOutOfRange,
  StartAboveWrap,
  Overlap,
  CoversItself,
  NothingCovered,
  DataIdWithoutCrc,
  CounterBeyondLength,
  ChecksumBeyondLength,
  CoveredBeyondLength,
};

// The first fault of a rule taken by itself, whatever the row's length.
std::optional<RuleFault> FirstFault(const RowRule& rule);
// The same, then whether every byte it names lies within `dlc`.
std::optional<RuleFault> FirstFault(const RowRule& rule, int dlc);

// The fault in a sentence, for the user.
platform::SourceText FaultText(RuleFault fault);

}  // namespace telpod
