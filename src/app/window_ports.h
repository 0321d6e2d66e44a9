#pragma once

#include "devices/socketcan/socketcan_system.h"
#include "platform/window_services.h"

namespace telpod {

// The side effects that need a person, and the kernel's CAN layer, handed to
// the main window so that tests can stand in for them. Null members take the
// real implementations.
struct WindowPorts {
  platform::MessageBoxes* messages = nullptr;
  platform::FileDialogs* dialogs = nullptr;
  platform::UrlOpener* urls = nullptr;
  SocketCanSystem* socketcan = nullptr;
};

}  // namespace telpod
