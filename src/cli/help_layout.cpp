#include "cli/help_layout.h"

#include <string>

namespace telpod {

namespace {
constexpr size_t kWidth = 80;
}

void PrintHangingParagraph(std::ostream& out, std::string_view lead, size_t indent,
                           std::string_view text) {
  const std::string margin(indent, ' ');
  out << lead;
  size_t column = lead.size();
  if (column >= indent) {
    out << '\n';
    column = 0;
  }
  out << margin.substr(column);
  column = indent;
  bool first = true;
  while (!text.empty()) {
    const size_t blank = text.find(' ');
    const std::string_view word = text.substr(0, blank);
    text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
    if (!first && column + 1 + word.size() >= kWidth) {
      out << '\n' << margin;
      column = indent;
    } else if (!first) {
      out << ' ';
      ++column;
    }
    out << word;
    column += word.size();
    first = false;
  }
  out << '\n';
}

}  // namespace telpod
