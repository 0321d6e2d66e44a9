#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/window_ports.h"
#include "support/engine_fakes.h"

namespace telpod::test {

// Answers file dialogs from a queue; an empty answer is a cancel.
class ScriptedDialogs : public platform::FileDialogs {
 public:
  std::optional<std::string> Choose(const platform::FileDialogRequest& request) override {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<std::optional<std::string>> answers;
  std::vector<platform::FileDialogRequest> requests;
};

class RecordingUrls : public platform::UrlOpener {
 public:
  void Open(const std::string& url) override { opened.push_back(url); }
  std::vector<std::string> opened;
};

}  // namespace telpod::test
