#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/row_rule.h"

// The rows' counters and checksums, kept in rules.json beside config.dat (the
// same folder, by the same rules), since config.dat, the CSV and the workbook
// stay as other programs and older copies read them. No routine here shows
// a message or throws.
namespace telpod::RowRulesFile {

// The rules file's full path.
std::string Path();

struct Outcome {
  enum class Kind { Read, Missing, Damaged };
  Kind kind = Kind::Missing;
  // Where a damaged file went wrong (0: not known, as for a file that
  // cannot be opened), and why, in the user's language.
  size_t line = 0;
  std::string reason;
};

// Takes the rules of the file at `path` into `rules`, all or none: unless
// the outcome is Read, `rules` is as it was. A missing file is no fault.
Outcome Load(const std::string& path, RowRules& rules);

// The one message about a damaged file: its path, the line, why, and that
// every row goes without rules while the file stays as it is.
std::string DamagedMessage(const std::string& path, const Outcome& outcome);

// Writes the rules file, replacing the old one atomically and making the
// configuration folder when needed: 0 written, -1 failed with the old file
// left whole and `reason` saying why, in the user's language.
int32_t Save(const RowRules& rules, std::string& reason);

}  // namespace telpod::RowRulesFile
