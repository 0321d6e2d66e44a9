#include "platform/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace telpod::platform {
namespace {

// The pipe's write end for the handler; -1 while nobody catches.
std::atomic<int> handler_fd{-1};
// The last signal the handler saw, for readers that poll instead of waiting.
std::atomic<int> caught_signal{0};

extern "C" void OnTerminationSignal(int signal_number) {
  const int saved_errno = errno;
  caught_signal.store(signal_number);
  const unsigned char byte = static_cast<unsigned char>(signal_number);
  const int fd = handler_fd.load();
  // A full pipe already holds a request; the byte may be dropped.
  if (fd >= 0) {
    const ssize_t written = ::write(fd, &byte, 1);
    static_cast<void>(written);
  }
  errno = saved_errno;
}

bool Install(int signal_number, bool restart_calls, struct sigaction& previous) {
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = restart_calls ? SA_RESTART : 0;
  return ::sigaction(signal_number, &action, &previous) == 0;
}

// A signal ignored before we start catching stays ignored: nohup (and a
// shell's & without job control) asks for that.
bool IgnoredFromTheStart(int signal_number) {
  struct sigaction current {};
  return ::sigaction(signal_number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

TerminationSignals::TerminationSignals() : TerminationSignals({SIGTERM, SIGHUP}, true) {}

TerminationSignals::TerminationSignals(std::initializer_list<int> numbers, bool restart_calls) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  int expected = -1;
  if (!handler_fd.compare_exchange_strong(expected, fds[1])) {
    ::close(fds[0]);
    ::close(fds[1]);
    return;
  }
  read_fd_ = fds[0];
  write_fd_ = fds[1];
  caught_signal.store(0);
  for (const int number : numbers) {
    struct sigaction previous {};
    if (IgnoredFromTheStart(number)) continue;
    if (!Install(number, restart_calls, previous)) {
      Restore();
      return;
    }
    previous_.emplace_back(number, previous);
  }
}

TerminationSignals::~TerminationSignals() {
  Restore();
}

int TerminationSignals::Take() {
  if (read_fd_ < 0) return 0;
  int last = 0;
  unsigned char bytes[16];
  ssize_t n;
  while ((n = ::read(read_fd_, bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR)) {
    if (n > 0) last = bytes[n - 1];
  }
  return last;
}

int TerminationSignals::Caught() const {
  return read_fd_ < 0 ? 0 : caught_signal.load();
}

void TerminationSignals::Restore() {
  if (read_fd_ < 0) return;
  for (const auto& [number, previous] : previous_) ::sigaction(number, &previous, nullptr);
  previous_.clear();
  handler_fd.store(-1);
  ::close(read_fd_);
  ::close(write_fd_);
  read_fd_ = write_fd_ = -1;
}

}  // namespace telpod::platform
