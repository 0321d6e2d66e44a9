#include "platform/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace telpod::platform {
namespace {

// The pipe's write end for the handler; -1 while nobody catches.
std::atomic<int> handler_fd{-1};

extern "C" void OnTerminationSignal(int signal_number) {
  const int saved_errno = errno;
  const unsigned char byte = static_cast<unsigned char>(signal_number);
  const int fd = handler_fd.load();
  // A full pipe already holds a request; the byte may be dropped.
  if (fd >= 0) {
    const ssize_t written = ::write(fd, &byte, 1);
    static_cast<void>(written);
  }
  errno = saved_errno;
}

bool Install(int signal_number, struct sigaction& previous) {
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  return ::sigaction(signal_number, &action, &previous) == 0;
}

}  // namespace

TerminationSignals::TerminationSignals() {
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
  if (!Install(SIGTERM, previous_term_) || !Install(SIGHUP, previous_hup_)) Restore();
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

void TerminationSignals::Restore() {
  if (read_fd_ < 0) return;
  ::sigaction(SIGTERM, &previous_term_, nullptr);
  ::sigaction(SIGHUP, &previous_hup_, nullptr);
  handler_fd.store(-1);
  ::close(read_fd_);
  ::close(write_fd_);
  read_fd_ = write_fd_ = -1;
}

}  // namespace telpod::platform
