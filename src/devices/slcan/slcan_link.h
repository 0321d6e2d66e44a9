#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "devices/slcan/slcan_protocol.h"
#include "platform/serial_port.h"
#include "platform/window_services.h"

namespace telpod::slcan {

// The serial line to one adapter: a command out, its reply back, never
// waiting past the deadline it is given.
class Link {
 public:
  // The line's own speed; adapters on USB take any.
  static constexpr int kBaud = 115200;

  platform::SerialOpenOutcome Open(const std::string& port) {
    reader_ = {};
    return port_.Open(port, kBaud);
  }
  void Close() { port_.Close(); }

  // Brings the replies in step with the commands: ends what half a command
  // was left in the adapter and asks its version, whose reply no stale one
  // looks like. The version (hhss), or nullopt when the port does not
  // answer as an adapter by `deadline`.
  std::optional<std::string> Synchronize(platform::Deadline deadline);

  // Sends `command` and waits until `deadline` for its reply, passing over
  // the frames the adapter received from the bus; nullopt when none came.
  std::optional<Reply> Ask(std::string_view command, platform::Deadline deadline);

 private:
  std::optional<Reply> NextReply(platform::Deadline deadline);

  platform::SerialPort port_;
  ReplyReader reader_;
};

}  // namespace telpod::slcan
