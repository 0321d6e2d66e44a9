// telpod-send: TELPOD's rows, devices and send loop from the command line,
// without Qt.
#include <iostream>
#include <string>
#include <vector>

#include "cli/telpod_send.h"
#include "devices/socketcan/linux_socketcan_system.h"

int main(int argc, char* argv[]) {
  // Frame lines go out in blocks, not a system call each.
  std::ios::sync_with_stdio(false);
  telpod::LinuxSocketCanSystem socketcan;
  const int status = telpod::TelpodSend(std::vector<std::string>(argv + 1, argv + argc),
                                        {std::cout, std::cerr, socketcan});
  std::cout.flush();
  return status;
}
