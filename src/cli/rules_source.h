#pragma once

#include <optional>
#include <string>

#include "cli/terminal_messages.h"
#include "model/row_rule.h"

namespace telpod {

// The rows' counters and checksums telpod-send follows: those of
// `rules_file`, else the window's rules file, read and never written. The
// window's file missing means no rules; damaged, it is said and every row
// goes without rules, as in the window. A named file that is missing or
// damaged stops the run: false, after a line that says why.
bool TakeRules(const std::optional<std::string>& rules_file, RowRules& rules,
               TerminalMessages& messages);

}  // namespace telpod
