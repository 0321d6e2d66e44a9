#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "model/can_senddb.h"
#include "model/row_rule.h"

namespace telpod {

// Each row's alive counter during one connection: the value its next frame
// carries, kept with the counter rule it counts for, so that a rule changed
// while connected starts over at its own start value.
class RowCounters {
 public:
  // The value row i's next frame carries under `counter`.
  int Current(int16_t i, const CounterRule& counter);
  // Row i's frame was taken: the next one carries the next value.
  void Advance(int16_t i, const CounterRule& counter);
  // Every row starts again from its start value.
  void Restart() { rows_ = {}; }

 private:
  struct Count {
    std::optional<CounterRule> rule;
    int value = 0;
  };
  Count& Of(int16_t i, const CounterRule& counter);

  std::array<Count, CAN_SendDB::kRows> rows_{};
};

}  // namespace telpod
