#pragma once

#include <signal.h>

#include <initializer_list>
#include <utility>
#include <vector>

namespace telpod::platform {

// Requests to end the program, caught and turned into bytes on a pipe and a
// flag instead of ending it, so that it can close its device in order.
//
// The window's set is the session's end, SIGTERM (a logout, `kill`) and
// SIGHUP (the terminal went away): its event loop watches the pipe, calls
// a signal interrupts are restarted, and SIGINT keeps its default, so a
// Ctrl+C at the terminal still ends the window at once. A program without
// a window chooses its own set and lets the signals cut its waits short.
//
// A signal that is ignored when catching starts is left ignored, as nohup
// (or a shell starting a background job) asked.
//
// A signal handler reaches only process-wide state, so one object catches at
// a time; a second one stays inactive. The previous handlers come back when
// the active one dies.
class TerminationSignals {
 public:
  // SIGTERM and SIGHUP, calls they interrupt restarted.
  TerminationSignals();
  // Each of `numbers`. Unless `restart_calls`, a call a signal interrupts
  // returns early (EINTR), so that a wait ends at once.
  TerminationSignals(std::initializer_list<int> numbers, bool restart_calls);
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  bool IsActive() const { return read_fd_ >= 0; }
  // Readable while a caught signal waits to be taken; -1 when inactive.
  int ReadFd() const { return read_fd_; }
  // The last signal caught since the previous call, 0 when none; empties
  // the pipe. Never blocks.
  int Take();
  // The last signal caught since this object began to catch, 0 while none;
  // no system call, and Take leaves it as it is.
  int Caught() const;

 private:
  void Restore();

  int read_fd_ = -1;
  int write_fd_ = -1;
  std::vector<std::pair<int, struct sigaction>> previous_;
};

}  // namespace telpod::platform
