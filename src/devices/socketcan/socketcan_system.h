#pragma once

#include <linux/can.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace telpod {

// What the kernel reports about one CAN network interface.
struct SocketCanLink {
  // rtnetlink link kind: "can" for a controller with bit timing, "vcan",
  // "vxcan"; empty when the kernel did not say.
  std::string kind;
  // Driver of the device under the interface (gs_usb, peak_usb, ...); empty
  // for interfaces without one (virtual links, slcan).
  std::string driver;
  // CAN_STATE_* of a controller (linux/can/netlink.h).
  std::optional<int32_t> state;
  // Bit rate of a controller whose bit timing is set.
  std::optional<uint32_t> bitrate;
};

// Outcome of a controller change; a refusal for want of permission is kept
// apart because the user can do something about it.
enum class ControlResult { Ok, NotPermitted, Failed };

// The kernel calls the SocketCAN family needs. The real one talks to Linux;
// tests put a scripted one in its place.
class SocketCanSystem {
 public:
  virtual ~SocketCanSystem() = default;

  // True when the kernel hands out raw CAN sockets.
  virtual bool RawSocketsOffered() = 0;
  // Names of the network interfaces of the CAN type, in interface order.
  virtual std::vector<std::string> CanInterfaces() = 0;
  virtual SocketCanLink Describe(const std::string& name) = 0;

  virtual ControlResult StopController(const std::string& name) = 0;
  virtual ControlResult SetBitRate(const std::string& name, uint32_t bits_per_second) = 0;
  virtual ControlResult StartController(const std::string& name) = 0;

  // A non-blocking raw CAN socket bound to the interface that receives no
  // traffic, only the controller's error frames for bus off, controller
  // problems and restarts; -1 when that fails.
  virtual int OpenRawSocket(const std::string& name) = 0;
  // True when the kernel took the whole frame.
  virtual bool WriteFrame(int socket, const can_frame& frame) = 0;
  // Takes the next error frame waiting on the socket, without blocking;
  // false when none waits.
  virtual bool ReadErrorFrame(int socket, can_frame& frame) = 0;
  virtual void CloseSocket(int socket) = 0;
};

}  // namespace telpod
