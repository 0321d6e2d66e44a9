#include "send/row_counters.h"

#include "model/row_rule_stamp.h"

namespace telpod {

RowCounters::Count& RowCounters::Of(int16_t i, const CounterRule& counter) {
  Count& count = rows_[static_cast<size_t>(i)];
  if (count.rule != counter) count = {counter, counter.start};
  return count;
}

int RowCounters::Current(int16_t i, const CounterRule& counter) {
  return Of(i, counter).value;
}

void RowCounters::Advance(int16_t i, const CounterRule& counter) {
  Count& count = Of(i, counter);
  count.value = NextCounterValue(counter, count.value);
}

}  // namespace telpod
