#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace telpod {

// The exit statuses of telpod-send. A stop signal that comes before the
// connection has started ends it with 128 + the signal's number, as the
// shell reports a program that a signal ended.
namespace send_exit {
inline constexpr int kDone = 0;  // it ran and ended as asked
inline constexpr int kUnexpected = 1;
inline constexpr int kUsage = 2;
inline constexpr int kNoDevice = 3;        // none found, or --device names none
inline constexpr int kDeviceFailed = 4;    // not opened, or the rate is not offered
inline constexpr int kRowsUnreadable = 5;  // the rows file, or the rules file named
inline constexpr int kFramesRefused = 6;   // failed writes, or an error-passive or off bus
inline constexpr int kLogUnreadable = 7;   // the log to replay, or it holds no frame
inline constexpr int kSignalBase = 128;
}  // namespace send_exit

// One exit status and what it means, as the help, the manual page and the
// README say it.
struct ExitStatusMeaning {
  std::string_view status;
  std::string_view meaning;
};

// Every exit status, in order.
std::span<const ExitStatusMeaning> SendExitStatuses();

// The table as the help shows it, one status per paragraph.
void PrintExitStatuses(std::ostream& out);

}  // namespace telpod
