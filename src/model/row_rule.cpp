#include "model/row_rule.h"

#include <algorithm>

namespace telpod {

bool RowRules::Any() const {
  return std::ranges::any_of(rows_, [](const RowRule& rule) { return !rule.empty(); });
}

}  // namespace telpod
