#include "platform/serial_port.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace telpod::platform {

namespace {

struct BaudSetting {
  int baud;
  speed_t speed;
};

constexpr std::array<BaudSetting, 11> kBaudSettings{{{9600, B9600},
                                                     {19200, B19200},
                                                     {38400, B38400},
                                                     {57600, B57600},
                                                     {115200, B115200},
                                                     {230400, B230400},
                                                     {460800, B460800},
                                                     {921600, B921600},
                                                     {1000000, B1000000},
                                                     {2000000, B2000000},
                                                     {3000000, B3000000}}};

// The name of the group owning `path`, whose members may open it.
std::string OwningGroup(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "";
  group entry{};
  group* found = nullptr;
  std::vector<char> buffer(4096);
  if (::getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
    return "";
  }
  return found->gr_name;
}

SerialOpenOutcome Failure(int error, const std::string& path) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return {SerialOpenError::NotFound, "", ""};
    case EACCES:
    case EPERM:
      return {SerialOpenError::PermissionDenied, OwningGroup(path), ""};
    case EBUSY:
    case EWOULDBLOCK:
      return {SerialOpenError::Busy, "", ""};
    default:
      return {SerialOpenError::Other, "", SystemErrorText(error)};
  }
}

// Raw bytes, 8 data bits, no parity, one stop bit, no flow control, and no
// modem lines that could hang up the program.
bool MakeRaw(int fd, speed_t speed) {
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) return false;
  ::cfmakeraw(&settings);
  settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  return ::cfsetspeed(&settings, speed) == 0 && ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

// Milliseconds until `deadline`, rounded up, 0 when it has passed.
int MillisecondsUntil(Deadline deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Deadline::clock::now());
  return left.count() > 0 ? static_cast<int>(std::min<int64_t>(left.count(), 60'000)) : 0;
}

// True when `events` came on `fd` before `deadline`.
bool WaitFor(int fd, short events, Deadline deadline) {
  for (;;) {
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, MillisecondsUntil(deadline));
    if (ready > 0) return (entry.revents & events) != 0;
    if (ready == 0 || errno != EINTR) return false;
  }
}

}  // namespace

SerialOpenOutcome SerialPort::Open(const std::string& path, int baud) {
  Close();
  const auto setting = std::find_if(kBaudSettings.begin(), kBaudSettings.end(),
                                    [&](const BaudSetting& s) { return s.baud == baud; });
  if (setting == kBaudSettings.end()) {
    return {SerialOpenError::Other, "", "no such baud rate: " + std::to_string(baud)};
  }
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Failure(errno, path);
  // Another program that took the port with a lock of its own keeps it.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return Failure(error, path);
  }
  if (!MakeRaw(fd, setting->speed)) {
    const int error = errno;
    ::close(fd);
    return Failure(error, path);
  }
  ::ioctl(fd, TIOCEXCL);  // others who open it after us get EBUSY
  ::tcflush(fd, TCIFLUSH);
  fd_ = fd;
  return {};
}

void SerialPort::Close() {
  if (fd_ < 0) return;
  ::ioctl(fd_, TIOCNXCL);
  ::close(std::exchange(fd_, -1));
}

bool SerialPort::WriteAll(std::string_view bytes, Deadline deadline) {
  while (fd_ >= 0 && !bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<size_t>(n));
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      return false;
    } else if (!WaitFor(fd_, POLLOUT, deadline)) {
      return false;
    }
  }
  return fd_ >= 0;
}

bool SerialPort::ReadSome(std::string& out, Deadline deadline) {
  if (fd_ < 0 || !WaitFor(fd_, POLLIN, deadline)) return false;
  std::array<char, 512> buffer;
  const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
  if (n <= 0) return false;
  out.append(buffer.data(), static_cast<size_t>(n));
  return true;
}

}  // namespace telpod::platform
