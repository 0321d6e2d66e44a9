#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/form1.h"
#include "support/fake_socketcan_system.h"
#include "support/simulated_program_folder.h"
#include "window_fakes.h"

namespace telpod::test {

// The window started on a program folder of the test's own, with the clock
// library and the chosen simulated drivers linked into it.
class StartedWindow : public ::testing::Test, public SimulatedProgramFolder {
 protected:
  bool Start() {
    window = std::make_unique<Form1>(WindowPorts{&messages, &dialogs, &urls, &socketcan});
    return window->Form_Load();
  }
  // The clock and one simulated driver library, then the window on them.
  bool StartWith(const char* file, const std::string& config = "") {
    InstallClock();
    InstallDriver(file, config);
    return Start();
  }

  RecordingMessages messages;
  ScriptedDialogs dialogs;
  RecordingUrls urls;
  FakeSocketCanSystem socketcan;
  std::unique_ptr<Form1> window;
};

}  // namespace telpod::test
