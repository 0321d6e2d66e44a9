// Rules file reader: any bytes as rules.json. Besides not crashing, a text
// it takes holds only rules that can be followed, and writes back to a text
// that reads the same; a refused one names a line the text has.
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "model/row_rule_check.h"
#include "settings/row_rules_json.h"

using namespace telpod;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  RowRules rules;
  if (const auto refusal = RowRulesJson::Read(text, rules)) {
    const auto lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    if (refusal->line < 1 || refusal->line > lines || rules.Any()) std::abort();
    return 0;
  }
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    if (FirstFault(rules.Of(i))) std::abort();
  }
  RowRules again;
  if (RowRulesJson::Read(RowRulesJson::Text(rules), again) || again != rules) std::abort();
  return 0;
}
