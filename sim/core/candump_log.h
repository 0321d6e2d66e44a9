#pragma once

#include <cstdint>
#include <string>

#include "core/buffered_lines.h"
#include "core/wire_frame.h"

namespace cansim {

// The frame log in plain candump log format, one line per frame and nothing
// else, so every candump reader takes it:
//   (1733480000.123456) canusb0 7DF#0201
//   (1733480000.123789) kvaser0 18DAF110#R
// The records as the program handed them over go, when asked for, to a
// separate file, one line per frame with the same time and interface:
//   (1733480000.123456) canusb0 DF070000000000000002020100000000...
class CandumpLog {
 public:
  // Each target: "-" = standard output, empty = off, else a file appended to.
  bool Open(const std::string& target) { return frames_.Open(target); }
  bool OpenRaw(const std::string& target) { return raw_.Open(target); }
  // Opens what CANSIM_LOG and CANSIM_RAW_LOG name, reporting a file that
  // cannot be opened on standard error.
  void OpenNamedLogs();

  void Write(int64_t realtime_ns, const WireFrame& frame);
  void Flush() {
    frames_.Flush();
    raw_.Flush();
  }

 private:
  BufferedLines frames_;
  BufferedLines raw_;
};

}  // namespace cansim
