#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/window_services.h"

namespace telpod::test {

// Runs a test's action at every pump, with the number of the pass (1-based),
// and at every wait, with its deadline in milliseconds of the monotonic
// clock's count (a wait returns at once unless the action moves time on).
class ScriptedPump : public platform::EventPump {
 public:
  void DoEvents() override {
    ++passes;
    if (on_pass) on_pass(passes);
  }
  void WaitUntil(platform::Deadline deadline) override {
    const double ms =
        std::chrono::duration<double, std::milli>(deadline.time_since_epoch()).count();
    waits.push_back(ms);
    if (on_wait) on_wait(ms);
  }
  std::function<void(int)> on_pass;
  std::function<void(double)> on_wait;
  int passes = 0;
  std::vector<double> waits;
};

struct ShownMessage {
  std::string text;
  std::string title;
  platform::MessageIcon icon;
};

struct AskedQuestion {
  std::string text;
  std::string title;
  platform::MessageIcon icon;
  std::vector<std::string> choices;
};

// Records every box; questions take their answers from a queue, and the
// default (the first choice) once it is empty.
class RecordingMessages : public platform::MessageBoxes {
 public:
  void Show(const std::string& text, const std::string& title,
            platform::MessageIcon icon) override {
    shown.push_back({text, title, icon});
  }
  size_t Ask(const std::string& text, const std::string& title, platform::MessageIcon icon,
             const std::vector<std::string>& choices) override {
    asked.push_back({text, title, icon, choices});
    if (answers.empty()) return 0;
    const size_t answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::vector<ShownMessage> shown;
  std::vector<AskedQuestion> asked;
  std::deque<size_t> answers;
};

}  // namespace telpod::test
