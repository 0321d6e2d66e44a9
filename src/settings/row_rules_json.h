#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "model/row_rule.h"
#include "platform/translation.h"

// The rows' counters and checksums as the text of the rules file: JSON, one
// entry per row that has a rule, written so that a person can read and edit it:
//   {
//     "format": 1,
//     "rows": [
//       {
//         "row": 1,
//         "counter": {"byte": "D7", "first_bit": 0, "bits": 4, "start": 0, "step": 1, "wrap": 14},
//         "checksum": {"byte": "D8", "algorithm": "CRC-8H2F"}
//       }
//     ]
//   }
// (the writer puts every key on a line of its own). A counter's start, step
// and wrap may be left out (0, 1, the largest its bits hold); a checksum's
// "covers" lists the bytes it covers (every other byte of the frame when
// left out) and "data_id" is a CRC's data ID, 0..65535.
namespace telpod::RowRulesJson {

// Why a text could not be read, and the line where it went wrong.
struct Refusal {
  size_t line = 0;
  platform::SourceText reason;
  std::string detail;  // %1 of the reason, when it has one
};

// Takes the rules of `text` into `rules`, all or none: on a refusal `rules`
// is as it was.
std::optional<Refusal> Read(std::string_view text, RowRules& rules);

// The text of `rules`, with its final newline.
std::string Text(const RowRules& rules);

// The reason in the user's language, its detail filled in.
std::string ReasonText(const Refusal& refusal);

}  // namespace telpod::RowRulesJson
