#include "cli/exit_status.h"

#include <array>
#include <string>

#include "cli/help_layout.h"

namespace telpod {

namespace {

constexpr size_t kIndent = 9;

constexpr std::array<ExitStatusMeaning, 9> kStatuses{{
    {"0", "it ran and ended as asked"},
    {"1", "an unexpected error"},
    {"2", "usage error: an unknown option, a value it does not take, or an option given twice"},
    {"3",
     "no device: none found (or no driver library, or no clock library), or --device names no "
     "listed device"},
    {"4", "the device could not be opened, or its family does not offer the rate"},
    {"5",
     "the rows file, or the rules file --rules names, could not be read, or a field of the rows "
     "file is not valid (unless --lenient)"},
    {"6",
     "the device refused frames, or the bus was error passive or off (unless "
     "--allow-failed-writes)"},
    {"7", "the log --replay names could not be read, or it holds no frame to send"},
    {"128+N", "signal N came before the connection had started"},
}};

}  // namespace

std::span<const ExitStatusMeaning> SendExitStatuses() {
  return kStatuses;
}

void PrintExitStatuses(std::ostream& out) {
  for (const auto& [status, meaning] : kStatuses) {
    PrintHangingParagraph(out, "  " + std::string(status), kIndent, meaning);
  }
}

}  // namespace telpod
