#pragma once

#include <string>

namespace telpod::platform {

// What the engine and the file formats ask of the window: modal message
// boxes and letting pending window events run. The window implements these
// with Qt; tests replace them with recorders.

enum class MessageIcon { None, Critical };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A modal box with one OK button; `text` lines are joined by CR LF.
  virtual void Show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
};

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Lets every pending window event run, then returns.
  virtual void DoEvents() = 0;
};

// Line break inside message-box texts.
inline constexpr const char* kCrLf = "\r\n";

}  // namespace telpod::platform
