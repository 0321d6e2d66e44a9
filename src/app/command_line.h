#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace telpod {

// The options that answer on the terminal and end the program at once,
// before any window or display is needed: --help (-h) and --version. Their
// exit status, or nullopt when the window is to start; the other arguments
// are left to the window and to Qt.
std::optional<int> AnswerTerminalOptions(const std::vector<std::string>& arguments,
                                         std::ostream& out);

}  // namespace telpod
