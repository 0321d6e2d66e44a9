#pragma once

#include <linux/can/netlink.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "devices/socketcan/socketcan_system.h"
#include "model/row_fields.h"

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
    for (const auto& i : interfaces) {
      if (i.name == name) return i.link;
    }
    return {};
  }
  ControlResult StopController(const std::string& name) override {
    return Log("stop:" + name, stop_result);
  }
  ControlResult SetBitRate(const std::string& name, uint32_t bits_per_second) override {
    return Log("set:" + name + ":" + std::to_string(bits_per_second), set_result);
  }
  ControlResult StartController(const std::string& name) override {
    return Log("start:" + name, start_result);
  }
  int OpenRawSocket(const std::string& name) override {
    calls.push_back("open:" + name);
    return open_fails ? -1 : kSocket;
  }
  // Logged as "write:<can_id>:<len>"; like the kernel, refuses a frame
  // longer than eight bytes, and with `txqueue` set, every frame after that
  // many, as a full queue of a controller nobody answers does. The frames
  // taken are kept in `sent`.
  bool WriteFrame(int socket, const can_frame& frame) override {
    calls.push_back(socket != kSocket
                        ? "write-on-bad-socket"
                        : "write:" + FormatHex(frame.can_id) + ":" + std::to_string(frame.len));
    if (frame.len > CAN_MAX_DLEN || (txqueue && queued >= *txqueue)) return false;
    ++queued;
    sent.push_back(frame);
    return true;
  }
  // Hands out `error_frames` one by one.
  bool ReadErrorFrame(int socket, can_frame& frame) override {
    if (socket != kSocket || error_frames.empty()) return false;
    frame = error_frames.front();
    error_frames.pop_front();
    return true;
  }
  void CloseSocket(int socket) override { calls.push_back("close:" + std::to_string(socket)); }

  static constexpr int kSocket = 7;
  bool raw_sockets = true;
  std::vector<Interface> interfaces;
  ControlResult stop_result = ControlResult::Ok;
  ControlResult set_result = ControlResult::Ok;
  ControlResult start_result = ControlResult::Ok;
  bool open_fails = false;
  std::optional<int> txqueue;
  int queued = 0;
  std::deque<can_frame> error_frames;
  std::vector<std::string> calls;
  std::vector<can_frame> sent;  // the frames taken

 private:
  ControlResult Log(const std::string& call, ControlResult result) {
    calls.push_back(call);
    return result;
  }
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
