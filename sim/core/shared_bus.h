#pragma once

#include <sys/stat.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace cansim {

// A frame as it travels between the processes on one simulated bus.
struct BusFrame {
  uint32_t id = 0;
  bool extended = false;
  bool remote = false;
  uint8_t dlc = 0;
  std::array<uint8_t, 8> data{};
  int64_t monotonic_ns = 0;  // when the writer's library took it
};

// Buses shared with the other processes on this machine whose simulators
// name the same folder, so that two programs on one simulated channel see
// each other's frames as two nodes on a bus do. Each process that is on a
// bus binds one Unix datagram socket, <folder>/<bus>/<member>; a frame sent
// on the bus goes to every other socket there, and a thread of the
// receiving process hands it to `deliver`. A socket nobody holds any more
// (its process died) is removed by the first sender that finds it so.
class SharedBus {
 public:
  // Runs on the receiving thread, never while the caller holds our lock.
  using Delivery = std::function<void(std::string_view bus, const BusFrame& frame)>;

  // `member` names this process's sockets; its process id when empty.
  explicit SharedBus(Delivery deliver, std::string member = "");
  ~SharedBus();
  SharedBus(const SharedBus&) = delete;
  SharedBus& operator=(const SharedBus&) = delete;

  // Leaves every bus, then meets the others in `folder` from now on: ""
  // for $XDG_RUNTIME_DIR/telpod-sim (else /tmp/telpod-sim-<uid>); nullopt:
  // the buses are this process's alone.
  void Configure(const std::optional<std::string>& folder);
  // Joins the bus named `bus` ("kvaser0"); nothing when not shared or
  // joined already. A failure is reported on standard error once.
  void Join(const std::string& bus);
  // Hands the frame to every other member of the bus.
  void Send(const std::string& bus, const BusFrame& frame);

 private:
  struct Peer {
    std::string name;
    bool gone = false;
  };
  struct Bus {
    std::string name;
    std::string folder;
    int fd = -1;
    timespec listed{};  // the folder's change time when peers were listed
    std::vector<Peer> peers;
  };

  void LeaveAll();
  void RefreshPeers(Bus& bus);
  void Receive();
  void Wake();
  void Stop();

  Delivery deliver_;
  std::string member_;
  std::mutex mutex_;
  std::optional<std::string> folder_;
  std::vector<Bus> buses_;
  bool reported_ = false;
  std::array<int, 2> wake_{-1, -1};
  std::atomic<bool> stopping_{false};
  std::thread receiver_;
};

}  // namespace cansim
