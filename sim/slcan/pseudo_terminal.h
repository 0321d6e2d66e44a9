#pragma once

#include <string>
#include <string_view>

namespace cansim {

// A pseudo-terminal whose master end the simulator reads and writes, raw
// from the start. It holds its other end open too, so that a program
// closing the port and opening it again finds it as a serial port stays:
// no hang-up, the adapter still there.
class PseudoTerminal {
 public:
  PseudoTerminal();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool ok() const { return master_ >= 0 && held_ >= 0; }
  int fd() const { return master_; }
  // The device file a program opens: "/dev/pts/3".
  const std::string& path() const { return path_; }

  // Appends what waits on the line to `out`; false when nothing did.
  bool Read(std::string& out);
  // Sends what fits into the line; the rest is lost, as a UART's would be
  // when nobody reads it.
  void Write(std::string_view bytes);

 private:
  int master_ = -1;
  int held_ = -1;
  std::string path_;
};

}  // namespace cansim
