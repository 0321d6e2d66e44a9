#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/telpod_send.h"
#include "platform/program_folder.h"
#include "support/engine_fakes.h"
#include "support/fake_socketcan_system.h"
#include "support/sim_control.h"
#include "support/temp_folder.h"

namespace telpod::test {

// telpod-send run in this process on a program folder of the test's own,
// with the clock library and the chosen simulated drivers linked into it,
// its output caught. The send loop's clock is the test's: it moves by
// `step` ms at every reading, so --seconds counts readings, not time.
class SendProgram : public ::testing::Test {
 protected:
  SendProgram() : scope_(program.path()) {
    std::filesystem::create_directory(program.File("drivers"));
    socketcan.raw_sockets = false;  // a kernel without CAN, like this machine
    clock.step = 0.1;
  }

  void InstallClock() { Link(std::string(TELPOD_PROGRAM_DIR) + "/libzqt100.so", "libzqt100.so"); }
  // Links a simulator into drivers/ and configures it ("" keeps its default).
  SimControl& InstallDriver(const char* file, const std::string& config) {
    Link(SimulatorPath(file), std::string("drivers/") + file);
    auto& sim = sims_[file];
    sim = std::make_unique<SimControl>(file);
    if (config.empty()) {
      sim->Reset();
    } else {
      sim->Configure(config);
    }
    return *sim;
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

  TempFolder program;
  FakeSocketCanSystem socketcan;
  ScriptedClock clock;
  bool use_real_clock = false;
  std::ostringstream out;
  std::ostringstream err;

 private:
  void Link(const std::string& target, const std::string& name) {
    std::filesystem::create_symlink(target, program.File(name));
  }

  platform::ScopedProgramFolder scope_;
  std::map<std::string, std::unique_ptr<SimControl>> sims_;
};

}  // namespace telpod::test
