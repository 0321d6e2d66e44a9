#pragma once

#include <optional>
#include <string>

#include "devices/socketcan/socketcan_system.h"
#include "platform/window_services.h"

namespace telpod {

// Common file dialogs, as the window's menu handlers ask for them. An empty
// result is the user's cancel.
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
  virtual std::optional<std::string> Choose(const FileDialogRequest& request) = 0;
};

// Opens a web address in the user's browser; the outcome is not examined.
class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  virtual void Open(const std::string& url) = 0;
};

// The side effects that need a person, and the kernel's CAN layer, handed to
// the main window so that tests can stand in for them. Null members take the
// real implementations.
struct WindowPorts {
  platform::MessageBoxes* messages = nullptr;
  FileDialogs* dialogs = nullptr;
  UrlOpener* urls = nullptr;
  SocketCanSystem* socketcan = nullptr;
};

}  // namespace telpod
