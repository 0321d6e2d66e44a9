#include "core/shared_bus.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace cansim {

namespace {

constexpr uint32_t kMagic = 0x54504253;  // "TPBS"

// The datagram: the same machine on both ends, so the layout is shared.
struct Datagram {
  uint32_t magic;
  uint32_t id;
  uint8_t extended;
  uint8_t remote;
  uint8_t dlc;
  uint8_t reserved;
  uint8_t data[8];
  int64_t monotonic_ns;
};

std::string DefaultFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') return std::string(runtime) + "/telpod-sim";
  return "/tmp/telpod-sim-" + std::to_string(::getuid());
}

bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    ::mkdir(path.substr(0, slash).c_str(), S_IRWXU);
    if (slash == std::string::npos) break;
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<sockaddr_un> Address(const std::string& path) {
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return std::nullopt;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

bool Same(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

SharedBus::SharedBus(Delivery deliver, std::string member)
    : deliver_(std::move(deliver)),
      member_(member.empty() ? std::to_string(::getpid()) : std::move(member)) {}

SharedBus::~SharedBus() {
  Configure(std::nullopt);
}

void SharedBus::Configure(const std::optional<std::string>& folder) {
  Stop();
  LeaveAll();
  folder_ = folder ? std::optional(folder->empty() ? DefaultFolder() : *folder) : std::nullopt;
  reported_ = false;
}

void SharedBus::Join(const std::string& bus) {
  std::lock_guard lock(mutex_);
  if (!folder_) return;
  for (const Bus& b : buses_) {
    if (b.name == bus) return;
  }
  Bus joined;
  joined.name = bus;
  joined.folder = *folder_ + "/" + bus;
  const auto address = Address(joined.folder + "/" + member_);
  if (address && MakeFolders(joined.folder)) {
    ::unlink(address->sun_path);  // a socket left by an earlier process of our number
    joined.fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (joined.fd >= 0 &&
        ::bind(joined.fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
      ::close(joined.fd);
      joined.fd = -1;
    }
  }
  if (joined.fd < 0) {
    if (!std::exchange(reported_, true)) {
      std::fprintf(stderr, "cansim: cannot join the shared bus %s in %s\n", bus.c_str(),
                   folder_->c_str());
    }
    return;
  }
  buses_.push_back(std::move(joined));
  if (!receiver_.joinable()) {
    if (::pipe2(wake_.data(), O_CLOEXEC | O_NONBLOCK) != 0) return;
    stopping_ = false;
    receiver_ = std::thread([this] { Receive(); });
  } else {
    Wake();
  }
}

// The members of the bus besides us, listed again when its folder changed.
void SharedBus::RefreshPeers(Bus& bus) {
  struct stat st {};
  if (::stat(bus.folder.c_str(), &st) != 0 || Same(st.st_mtim, bus.listed)) return;
  bus.listed = st.st_mtim;
  bus.peers.clear();
  DIR* dir = ::opendir(bus.folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && name != member_) bus.peers.push_back({name});
  }
  ::closedir(dir);
}

void SharedBus::Send(const std::string& bus, const BusFrame& frame) {
  std::lock_guard lock(mutex_);
  for (Bus& b : buses_) {
    if (b.name != bus) continue;
    RefreshPeers(b);
    Datagram d{kMagic, frame.id, frame.extended,    frame.remote, frame.dlc,
               0,      {},       frame.monotonic_ns};
    std::memcpy(d.data, frame.data.data(), sizeof d.data);
    for (Peer& peer : b.peers) {
      const auto address = Address(b.folder + "/" + peer.name);
      if (peer.gone || !address) continue;
      if (::sendto(b.fd, &d, sizeof d, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&*address),
                   sizeof *address) < 0 &&
          errno == ECONNREFUSED) {
        // Nobody holds that socket any more: its process has ended.
        ::unlink(address->sun_path);
        peer.gone = true;
      }
      // A member whose queue is full (EAGAIN) loses the frame, as a node
      // that cannot keep up does.
    }
    return;
  }
}

// The receiving thread: waits on every joined socket and the wake pipe.
void SharedBus::Receive() {
  std::vector<pollfd> fds;
  std::vector<std::string> names;
  while (!stopping_) {
    {
      std::lock_guard lock(mutex_);
      fds.assign(1, pollfd{wake_[0], POLLIN, 0});
      names.assign(1, "");
      for (const Bus& b : buses_) {
        fds.push_back({b.fd, POLLIN, 0});
        names.push_back(b.name);
      }
    }
    if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) return;
    char drain[64];
    while (::read(wake_[0], drain, sizeof drain) > 0) {
    }
    for (size_t i = 1; i < fds.size() && !stopping_; ++i) {
      Datagram d{};
      while (!stopping_ && (fds[i].revents & POLLIN) &&
             ::recv(fds[i].fd, &d, sizeof d, MSG_DONTWAIT) == sizeof d) {
        if (d.magic != kMagic || d.dlc > 15) continue;
        BusFrame frame{d.id, d.extended != 0, d.remote != 0, d.dlc, {}, d.monotonic_ns};
        std::memcpy(frame.data.data(), d.data, sizeof d.data);
        deliver_(names[i], frame);
      }
    }
  }
}

void SharedBus::Wake() {
  const char byte = 0;
  if (wake_[1] >= 0) static_cast<void>(::write(wake_[1], &byte, 1));
}

void SharedBus::Stop() {
  if (!receiver_.joinable()) return;
  stopping_ = true;
  Wake();
  receiver_.join();
  for (int& fd : wake_) {
    ::close(fd);
    fd = -1;
  }
}

void SharedBus::LeaveAll() {
  std::lock_guard lock(mutex_);
  for (const Bus& b : buses_) {
    ::close(b.fd);
    ::unlink((b.folder + "/" + member_).c_str());
  }
  buses_.clear();
}

}  // namespace cansim
