#include "cli/terminal_messages.h"

namespace telpod {

void TerminalMessages::Show(const std::string& text, const std::string& /*title*/,
                            platform::MessageIcon /*icon*/) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) Say(std::string_view(text).substr(start, end - start));
    start = end + 1;
  }
}

void TerminalMessages::Say(std::string_view line) {
  err_ << program_ << ": " << line << '\n';
}

}  // namespace telpod
