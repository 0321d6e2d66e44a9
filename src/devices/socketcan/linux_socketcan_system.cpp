#include "devices/socketcan/linux_socketcan_system.h"

// clang-format off
// glibc's net/if.h first: it tells the kernel's headers not to define the
// same names again.
#include <net/if.h>
// clang-format on

#include <errno.h>
#include <libsocketcan.h>
#include <linux/can/error.h>
#include <linux/can/raw.h>
#include <linux/if_arp.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>

#include "platform/scoped_fd.h"

namespace telpod {

namespace {

using platform::ScopedFd;

bool IsCanType(int query_socket, const char* name) {
  ifreq request{};
  std::strncpy(request.ifr_name, name, IFNAMSIZ - 1);
  return ::ioctl(query_socket, SIOCGIFHWADDR, &request) == 0 &&
         request.ifr_hwaddr.sa_family == ARPHRD_CAN;
}

std::string KindFromLinkInfo(const rtattr* linkinfo) {
  int length = static_cast<int>(RTA_PAYLOAD(linkinfo));
  for (auto* a = static_cast<const rtattr*>(RTA_DATA(linkinfo)); RTA_OK(a, length);
       a = RTA_NEXT(a, length)) {
    if (a->rta_type == IFLA_INFO_KIND) {
      const auto* text = static_cast<const char*>(RTA_DATA(a));
      return std::string(text, ::strnlen(text, RTA_PAYLOAD(a)));
    }
  }
  return "";
}

// The rtnetlink link kind of an interface ("can", "vcan", ...); libsocketcan
// does not report it.
std::string LinkKind(const std::string& name) {
  const unsigned index = ::if_nametoindex(name.c_str());
  if (index == 0) return "";
  ScopedFd fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
  if (fd.get() < 0) return "";
  const timeval timeout{1, 0};  // a kernel that never answers must not hang the window
  ::setsockopt(fd.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);

  struct {
    nlmsghdr header;
    ifinfomsg info;
  } request{};
  request.header.nlmsg_len = sizeof request;
  request.header.nlmsg_type = RTM_GETLINK;
  request.header.nlmsg_flags = NLM_F_REQUEST;
  request.info.ifi_family = AF_UNSPEC;
  request.info.ifi_index = static_cast<int>(index);
  if (::send(fd.get(), &request, sizeof request, 0) < 0) return "";

  alignas(nlmsghdr) std::array<char, 16384> buffer;
  const ssize_t received = ::recv(fd.get(), buffer.data(), buffer.size(), 0);
  if (received <= 0) return "";
  auto remaining = static_cast<unsigned>(received);
  for (auto* h = reinterpret_cast<nlmsghdr*>(buffer.data()); NLMSG_OK(h, remaining);
       h = NLMSG_NEXT(h, remaining)) {
    if (h->nlmsg_type != RTM_NEWLINK) continue;
    auto* info = static_cast<ifinfomsg*>(NLMSG_DATA(h));
    int length = static_cast<int>(IFLA_PAYLOAD(h));
    for (auto* a = IFLA_RTA(info); RTA_OK(a, length); a = RTA_NEXT(a, length)) {
      if (a->rta_type == IFLA_LINKINFO) return KindFromLinkInfo(a);
    }
  }
  return "";
}

// The driver bound to the device under the interface, from sysfs.
std::string DeviceDriver(const std::string& name) {
  std::error_code error;
  const auto target = std::filesystem::read_symlink(
      std::filesystem::path("/sys/class/net") / name / "device" / "driver", error);
  return error ? "" : target.filename().string();
}

ControlResult Outcome(int result) {
  if (result == 0) return ControlResult::Ok;
  return errno == EPERM || errno == EACCES ? ControlResult::NotPermitted : ControlResult::Failed;
}

}  // namespace

bool LinuxSocketCanSystem::RawSocketsOffered() {
  ScopedFd fd(::socket(PF_CAN, SOCK_RAW | SOCK_CLOEXEC, CAN_RAW));
  return fd.get() >= 0;
}

std::vector<std::string> LinuxSocketCanSystem::CanInterfaces() {
  std::vector<std::string> names;
  ScopedFd query(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (query.get() < 0) return names;
  struct if_nameindex* list = ::if_nameindex();
  if (list == nullptr) return names;
  for (const struct if_nameindex* entry = list; entry->if_index != 0; ++entry) {
    if (entry->if_name != nullptr && IsCanType(query.get(), entry->if_name)) {
      names.emplace_back(entry->if_name);
    }
  }
  ::if_freenameindex(list);
  return names;
}

SocketCanLink LinuxSocketCanSystem::Describe(const std::string& name) {
  SocketCanLink link;
  link.kind = LinkKind(name);
  link.driver = DeviceDriver(name);
  // Only controllers carry CAN link data; asking a virtual link would only
  // make libsocketcan complain on stderr.
  if (link.kind == "can") {
    int state = 0;
    if (::can_get_state(name.c_str(), &state) == 0) link.state = state;
    can_bittiming timing{};
    if (::can_get_bittiming(name.c_str(), &timing) == 0 && timing.bitrate != 0) {
      link.bitrate = timing.bitrate;
    }
  }
  return link;
}

ControlResult LinuxSocketCanSystem::StopController(const std::string& name) {
  errno = 0;
  return Outcome(::can_do_stop(name.c_str()));
}

ControlResult LinuxSocketCanSystem::SetBitRate(const std::string& name, uint32_t bits_per_second) {
  errno = 0;
  return Outcome(::can_set_bitrate(name.c_str(), bits_per_second));
}

ControlResult LinuxSocketCanSystem::StartController(const std::string& name) {
  errno = 0;
  return Outcome(::can_do_start(name.c_str()));
}

int LinuxSocketCanSystem::OpenRawSocket(const std::string& name) {
  const unsigned index = ::if_nametoindex(name.c_str());
  if (index == 0) return -1;
  // Non-blocking: the send loop runs on the window's thread, and a controller
  // that cannot get its frames out must not freeze it.
  ScopedFd fd(::socket(PF_CAN, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, CAN_RAW));
  if (fd.get() < 0) return -1;
  // The program only sends: an empty filter keeps received traffic out, and
  // of the error frames only those that change the controller's state come.
  if (::setsockopt(fd.get(), SOL_CAN_RAW, CAN_RAW_FILTER, nullptr, 0) != 0) return -1;
  const can_err_mask_t errors = CAN_ERR_BUSOFF | CAN_ERR_CRTL | CAN_ERR_RESTARTED;
  if (::setsockopt(fd.get(), SOL_CAN_RAW, CAN_RAW_ERR_FILTER, &errors, sizeof errors) != 0) {
    return -1;
  }
  sockaddr_can address{};
  address.can_family = AF_CAN;
  address.can_ifindex = static_cast<int>(index);
  if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return -1;
  }
  return fd.release();
}

bool LinuxSocketCanSystem::WriteFrame(int socket, const can_frame& frame) {
  return ::write(socket, &frame, sizeof frame) == static_cast<ssize_t>(sizeof frame);
}

bool LinuxSocketCanSystem::ReadErrorFrame(int socket, can_frame& frame) {
  const ssize_t received = ::recv(socket, &frame, sizeof frame, MSG_DONTWAIT);
  return received == static_cast<ssize_t>(sizeof frame) && (frame.can_id & CAN_ERR_FLAG) != 0;
}

void LinuxSocketCanSystem::CloseSocket(int socket) {
  if (socket >= 0) ::close(socket);
}

}  // namespace telpod
