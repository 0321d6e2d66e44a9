#pragma once

#include <cstddef>
#include <ostream>
#include <string_view>

namespace telpod {

// One paragraph of a help text with a hanging lead: `lead` ("  --rate
// RATE"), then `text` from column `indent` on, its words wrapped before
// column 80. A lead that reaches `indent` gets a line of its own.
void PrintHangingParagraph(std::ostream& out, std::string_view lead, size_t indent,
                           std::string_view text);

}  // namespace telpod
