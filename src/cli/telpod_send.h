#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "devices/socketcan/socketcan_system.h"
#include "send/clock.h"

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
inline constexpr int kSignalBase = 128;
}  // namespace send_exit

// What telpod-send uses of the world outside it; tests stand in for each.
struct SendPorts {
  std::ostream& out;  // the frame lines, the device list, the help
  std::ostream& err;  // messages, one line each, and the summary
  SocketCanSystem& socketcan;
  // The send loop's clock; null: the program folder's clock library, loaded
  // and checked as the window does.
  Clock* clock = nullptr;
};

// telpod-send given its arguments (without the program's name): start-up
// as the window's, then the device list or one connection over the chosen
// device, ended by SIGINT, SIGTERM, a reader that closes standard output,
// or --seconds. The exit status; no exception leaves it.
int TelpodSend(const std::vector<std::string>& arguments, SendPorts ports);

}  // namespace telpod
