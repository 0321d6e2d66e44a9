#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace telpod::platform {

// What the engine, the file formats and the windows ask of the desktop:
// modal message boxes, letting pending window events run, file dialogs and
// the browser. The window implements these with Qt; tests replace them with
// recorders.

enum class MessageIcon { None, Warning, Critical };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A modal box with one OK button; `text` lines are joined by CR LF.
  virtual void Show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // A modal question with one button per choice; the index of the chosen
  // one. The first choice is the default and the answer when the box is
  // dismissed, so it must be the one that loses nothing. Boxes that cannot
  // ask give that answer.
  virtual size_t Ask(const std::string& /*text*/, const std::string& /*title*/,
                     MessageIcon /*icon*/, const std::vector<std::string>& /*choices*/) {
    return 0;
  }
  // A box that leaves the caller going, so the send loop keeps its frames
  // on time while it is open. Boxes that cannot do that show it as Show.
  virtual void Tell(const std::string& text, const std::string& title, MessageIcon icon) {
    Show(text, title, icon);
  }
};

// A moment on the monotonic clock (CLOCK_MONOTONIC), where a wait ends.
using Deadline = std::chrono::steady_clock::time_point;

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Lets every pending window event run, then returns.
  virtual void DoEvents() = 0;
  // Sleeps until `deadline` or until window events have run, whichever comes
  // first. It may return early, never much later; a pump that cannot sleep
  // just lets the pending events run.
  virtual void WaitUntil(Deadline /*deadline*/) { DoEvents(); }
};

// Common file dialogs, as the window's menu handlers ask for them.
struct FileDialogRequest {
  std::string title;
  std::string initial_folder;
  std::string file_name;
  std::string filter;  // "description (*.csv);;..." in Qt's notation
  bool save = false;   // save dialog with overwrite prompt, else open dialog
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen path; nullopt is the user's cancel.
  virtual std::optional<std::string> Choose(const FileDialogRequest& request) = 0;
  // Asks without holding up the caller: `chosen` runs with the path once
  // the user has chosen one, never on a cancel. Dialogs that cannot wait
  // like that ask as Choose does.
  virtual void ChooseThenCall(const FileDialogRequest& request,
                              std::function<void(const std::string&)> chosen) {
    if (const auto path = Choose(request)) chosen(*path);
  }
};

// Opens a web address in the user's browser; the outcome is not examined.
class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  virtual void Open(const std::string& url) = 0;
};

// Line break inside message-box texts.
inline constexpr const char* kCrLf = "\r\n";

}  // namespace telpod::platform
