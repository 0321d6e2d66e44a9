#include "slcan/pseudo_terminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <array>

namespace cansim {

PseudoTerminal::PseudoTerminal() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
  termios settings{};
  if (::tcgetattr(master_, &settings) != 0) return;
  ::cfmakeraw(&settings);
  ::tcsetattr(master_, TCSANOW, &settings);
  const char* name = ::ptsname(master_);
  if (name == nullptr) return;
  path_ = name;
  held_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
}

PseudoTerminal::~PseudoTerminal() {
  if (held_ >= 0) ::close(held_);
  if (master_ >= 0) ::close(master_);
}

bool PseudoTerminal::Read(std::string& out) {
  std::array<char, 4096> buffer;
  const ssize_t n = ::read(master_, buffer.data(), buffer.size());
  if (n <= 0) return false;
  out.append(buffer.data(), static_cast<size_t>(n));
  return true;
}

void PseudoTerminal::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(master_, bytes.data(), bytes.size());
    if (n <= 0) return;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

}  // namespace cansim
