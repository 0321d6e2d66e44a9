#pragma once

#include <linux/can/netlink.h>

#include <string>
#include <vector>

#include "devices/socketcan/socketcan_system.h"

namespace telpod::test {

// A kernel scripted by the test: its interfaces, the outcome of each
// controller change, and a log of every call in order.
class FakeSocketCanSystem : public SocketCanSystem {
 public:
  struct Interface {
    std::string name;
    SocketCanLink link;
  };

  bool RawSocketsOffered() override { return raw_sockets; }
  std::vector<std::string> CanInterfaces() override {
    std::vector<std::string> names;
    for (const auto& i : interfaces) names.push_back(i.name);
    return names;
  }
  SocketCanLink Describe(const std::string& name) override {
    const Interface* i = Find(name);
    return i ? i->link : SocketCanLink{};
  }
  ControlResult StopController(const std::string& name) override {
    calls.push_back("stop:" + name);
    if (stop_result == ControlResult::Ok) Find(name)->link.state = CAN_STATE_STOPPED;
    return stop_result;
  }
  ControlResult SetBitRate(const std::string& name, uint32_t bits_per_second) override {
    calls.push_back("set:" + name + ":" + std::to_string(bits_per_second));
    if (set_result == ControlResult::Ok) Find(name)->link.bitrate = bits_per_second;
    return set_result;
  }
  ControlResult StartController(const std::string& name) override {
    calls.push_back("start:" + name);
    if (start_result == ControlResult::Ok) Find(name)->link.state = CAN_STATE_ERROR_ACTIVE;
    return start_result;
  }
  int OpenRawSocket(const std::string& name) override {
    calls.push_back("open:" + name);
    return open_fails || !Find(name) ? -1 : kSocket;
  }
  // Like the kernel, refuses a frame longer than eight bytes.
  bool WriteFrame(int socket, const can_frame& frame) override {
    if (socket != kSocket) calls.push_back("write-on-bad-socket");
    written.push_back(frame);
    return frame.len <= CAN_MAX_DLEN;
  }
  void CloseSocket(int socket) override { calls.push_back("close:" + std::to_string(socket)); }

  Interface* Find(const std::string& name) {
    for (auto& i : interfaces) {
      if (i.name == name) return &i;
    }
    return nullptr;
  }

  static constexpr int kSocket = 7;
  bool raw_sockets = true;
  std::vector<Interface> interfaces;
  ControlResult stop_result = ControlResult::Ok;
  ControlResult set_result = ControlResult::Ok;
  ControlResult start_result = ControlResult::Ok;
  bool open_fails = false;
  std::vector<std::string> calls;
  std::vector<can_frame> written;
};

inline FakeSocketCanSystem::Interface VirtualLink(const std::string& name) {
  return {name, SocketCanLink{"vcan", "", std::nullopt, std::nullopt}};
}

inline FakeSocketCanSystem::Interface Controller(const std::string& name, int32_t state,
                                                 std::optional<uint32_t> bitrate,
                                                 const std::string& driver = "") {
  return {name, SocketCanLink{"can", driver, state, bitrate}};
}

}  // namespace telpod::test
