#pragma once

#include <signal.h>

namespace telpod::platform {

// The session's requests to end, SIGTERM (a logout, `kill`) and SIGHUP (the
// terminal went away), caught and turned into bytes on a pipe that the
// window's event loop watches, so the program closes its window in order and
// saves the rows instead of dying. SIGINT keeps its default: a Ctrl+C at the
// terminal still ends the program at once.
//
// A signal handler reaches only process-wide state, so one object catches at
// a time; a second one stays inactive. The previous handlers come back when
// the active one dies.
class TerminationSignals {
 public:
  TerminationSignals();
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  bool IsActive() const { return read_fd_ >= 0; }
  // Readable while a caught signal waits to be taken; -1 when inactive.
  int ReadFd() const { return read_fd_; }
  // The last signal caught since the previous call, 0 when none; empties
  // the pipe. Never blocks.
  int Take();

 private:
  void Restore();

  int read_fd_ = -1;
  int write_fd_ = -1;
  struct sigaction previous_term_ {};
  struct sigaction previous_hup_ {};
};

}  // namespace telpod::platform
