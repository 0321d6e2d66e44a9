#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "devices/socketcan/socketcan_system.h"
#include "send/clock.h"

namespace telpod {

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
// device, ended by SIGINT, SIGTERM, SIGHUP (unless ignored from the start,
// as nohup leaves it), a reader that closes standard output, or --seconds. The exit status; no
// exception leaves it.
int TelpodSend(const std::vector<std::string>& arguments, SendPorts ports);

}  // namespace telpod
