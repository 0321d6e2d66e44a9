#pragma once

#include <string>
#include <string_view>

#include "platform/window_services.h"

namespace telpod::platform {

// Why a serial port could not be opened. The user can act on the first
// three, so they are kept apart from the rest.
enum class SerialOpenError { None, NotFound, PermissionDenied, Busy, Other };

struct SerialOpenOutcome {
  SerialOpenError error = SerialOpenError::None;
  // PermissionDenied: the group that owns the device file ("dialout"), whose
  // members may open it; empty when the system does not say.
  std::string group;
  // Other: the system's words.
  std::string reason;

  bool ok() const { return error == SerialOpenError::None; }
};

// One serial port, raw 8N1, held by this program alone while it is open and
// closed when the object dies. Never blocks past the deadline it is given.
class SerialPort {
 public:
  SerialPort() = default;
  ~SerialPort() { Close(); }
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens `path` without making it the program's controlling terminal, at
  // `baud` bit/s, and drops whatever input was waiting. A port another
  // program holds (an exclusive open or a lock) is Busy.
  SerialOpenOutcome Open(const std::string& path, int baud);
  bool IsOpen() const { return fd_ >= 0; }
  void Close();

  // Hands all of `bytes` to the port, waiting for room until `deadline`;
  // false when it could not.
  bool WriteAll(std::string_view bytes, Deadline deadline);
  // Appends what arrives to `out`, waiting until `deadline` for the first
  // bytes; false when none came or the port failed (a device unplugged).
  bool ReadSome(std::string& out, Deadline deadline);

 private:
  int fd_ = -1;
};

}  // namespace telpod::platform
