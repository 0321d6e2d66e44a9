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

inline std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// "7DF#0102" of each "(1733480000.123456) canusb0 7DF#0102".
inline std::vector<std::string> FramesOf(const std::vector<std::string>& lines) {
  std::vector<std::string> frames;
  for (const auto& line : lines) frames.push_back(line.substr(line.rfind(' ') + 1));
  return frames;
}

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
  std::vector<std::string> OutLines() const { return LinesOf(out.str()); }
  // Standard error's lines, each without the program's name it begins with.
  std::vector<std::string> ErrLines() const {
    const std::string name = "telpod-send: ";
    std::vector<std::string> lines = LinesOf(err.str());
    for (std::string& line : lines) {
      if (line.rfind(name, 0) == 0) {
        line.erase(0, name.size());
      } else {
        ADD_FAILURE() << "without the program's name: " << line;
      }
    }
    return lines;
  }

  FakeSocketCanSystem socketcan;
  ScriptedClock clock;
  bool use_real_clock = false;
  std::ostringstream out;
  std::ostringstream err;
};

}  // namespace telpod::test
