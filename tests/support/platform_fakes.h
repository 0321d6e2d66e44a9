#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/window_services.h"

namespace telpod::test {

// Runs a test's action at every pump, with the number of the pass (1-based).
class ScriptedPump : public platform::EventPump {
 public:
  void DoEvents() override {
    ++passes;
    if (on_pass) on_pass(passes);
  }
  std::function<void(int)> on_pass;
  int passes = 0;
};

struct ShownMessage {
  std::string text;
  std::string title;
  platform::MessageIcon icon;
};

class RecordingMessages : public platform::MessageBoxes {
 public:
  void Show(const std::string& text, const std::string& title,
            platform::MessageIcon icon) override {
    shown.push_back({text, title, icon});
  }
  std::vector<ShownMessage> shown;
};

}  // namespace telpod::test
