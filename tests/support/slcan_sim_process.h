#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace telpod::test {

// The serial-line adapters' simulator (slcan-sim) running for as long as the
// object lives, configured with `config` (the CANSIM_CONFIG format, one
// "slcan" line per adapter), its frame log and the commands it received in
// files of its own. It ends with the test process, even one that crashes.
class SlcanSimProcess {
 public:
  explicit SlcanSimProcess(const std::string& config);
  ~SlcanSimProcess();
  SlcanSimProcess(const SlcanSimProcess&) = delete;
  SlcanSimProcess& operator=(const SlcanSimProcess&) = delete;

  // Ends the simulator now: its adapters are gone, as if unplugged.
  void Stop();

  // The adapters' pseudo-terminals, in the order of the lines.
  const std::vector<std::string>& ports() const { return ports_; }
  // The same, ':'-separated, as TELPOD_SERIAL_PORTS takes them.
  std::string PortList() const;

  // The commands received since the start, "slcan0 S6", one each.
  std::vector<std::string> Commands() const;
  // The frame log's lines without their time stamps, "slcan0 7DF#0201";
  // complete once the program has closed the channel.
  std::vector<std::string> Frames() const;
  const std::string& frame_log() const { return frame_log_; }

 private:
  TempFolder folder_;
  std::string frame_log_;
  std::string command_log_;
  pid_t pid_ = -1;
  std::vector<std::string> ports_;
};

}  // namespace telpod::test
