#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "app/form1.h"
#include "platform/driver_folders.h"
#include "platform/program_folder.h"
#include "support/fake_socketcan_system.h"
#include "support/sim_control.h"
#include "support/temp_folder.h"
#include "window_fakes.h"

namespace telpod::test {

// A program folder of the test's own, with the clock library and the chosen
// simulated drivers linked into it, and the window started on it.
class StartedWindow : public ::testing::Test {
 protected:
  StartedWindow() : scope_(program.path()) {
    std::filesystem::create_directory(program.File("drivers"));
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
  SimControl& Sim(const char* file) { return *sims_.at(file); }

  bool Start() {
    window = std::make_unique<Form1>(WindowPorts{&messages, &dialogs, &urls, &socketcan});
    return window->Form_Load();
  }

  TempFolder program;
  RecordingMessages messages;
  ScriptedDialogs dialogs;
  RecordingUrls urls;
  FakeSocketCanSystem socketcan;
  std::unique_ptr<Form1> window;

 private:
  void Link(const std::string& target, const std::string& name) {
    std::filesystem::create_symlink(target, program.File(name));
  }

  platform::ScopedProgramFolder scope_;
  std::map<std::string, std::unique_ptr<SimControl>> sims_;
};

}  // namespace telpod::test
