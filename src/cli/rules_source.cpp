#include "cli/rules_source.h"

#include "settings/row_rules_file.h"

namespace telpod {

bool TakeRules(const std::optional<std::string>& rules_file, RowRules& rules,
               TerminalMessages& messages) {
  using Kind = RowRulesFile::Outcome::Kind;
  const std::string path = rules_file.value_or(RowRulesFile::Path());
  const RowRulesFile::Outcome outcome = RowRulesFile::Load(path, rules);
  if (outcome.kind == Kind::Read || (outcome.kind == Kind::Missing && !rules_file)) return true;
  if (!rules_file) {
    messages.Show(RowRulesFile::DamagedMessage(path, outcome), "", platform::MessageIcon::Warning);
    return true;
  }
  if (outcome.kind == Kind::Missing) {
    messages.Say("there is no rules file " + path);
  } else {
    const std::string line = outcome.line > 0 ? ":" + std::to_string(outcome.line) : "";
    messages.Say(path + line + ": " + outcome.reason);
  }
  return false;
}

}  // namespace telpod
