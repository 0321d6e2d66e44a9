#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/telpod_send.h"
#include "support/engine_fakes.h"
#include "support/fake_socketcan_system.h"
#include "support/simulated_program_folder.h"

namespace telpod::test {

// telpod-send run in this process on a program folder of the test's own,
// its output caught. The send loop's clock is the test's: it moves by
// `step` ms at every reading, so --seconds counts readings, not time.
class SendProgram : public ::testing::Test, public SimulatedProgramFolder {
 protected:
  SendProgram() {
    socketcan.raw_sockets = false;  // a kernel without CAN, like this machine
    clock.step = 0.1;
  }

  // The exit status; what it printed is in out and err.
  int Run(const std::vector<std::string>& arguments) {
    out.str("");
    err.str("");
    return TelpodSend(arguments, {out, err, socketcan, use_real_clock ? nullptr : &clock});
  }
  std::vector<std::string> OutLines() const { return SplitLines(out.str()); }
  std::vector<std::string> ErrLines() const { return SplitLines(err.str()); }

  static std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  FakeSocketCanSystem socketcan;
  ScriptedClock clock;
  bool use_real_clock = false;
  std::ostringstream out;
  std::ostringstream err;
};

}  // namespace telpod::test
