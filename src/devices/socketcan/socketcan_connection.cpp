#include "devices/socketcan/socketcan_connection.h"

#include <linux/can/error.h>
#include <linux/can/netlink.h>

#include <utility>

#include "devices/socketcan/socketcan_frame.h"
#include "model/bit_rate_table.h"
#include "platform/translation.h"
#include "platform/window_services.h"

namespace telpod {

namespace {

// Error frames folded into one reading at most; the rest wait for the next.
constexpr int kMaxErrorFramesPerReading = 256;

// A controller problem's state bits, for the receiver and the transmitter.
constexpr BusStateBits kControllerProblemBits{0, CAN_ERR_CRTL_RX_PASSIVE | CAN_ERR_CRTL_TX_PASSIVE,
                                              CAN_ERR_CRTL_RX_WARNING | CAN_ERR_CRTL_TX_WARNING};

constexpr platform::SourceText kRunTheCommands =
    TELPOD_TEXT("Connection", "管理者権限で次のコマンドを実行してから、もう一度接続してください。");
constexpr platform::SourceText kLeftAsItIs = TELPOD_TEXT(
    "Connection", "ほかのプログラムが使っているかもしれないため、通信速度は変更しません。");

// The commands that set `name` to the rate and bring it up, led by taking
// it down when it runs.
std::string IpLinkCommands(const std::string& name, uint32_t bits_per_second, bool running) {
  const std::string crlf = platform::kCrLf;
  std::string text;
  if (running) text += "ip link set " + name + " down" + crlf;
  text += "ip link set " + name + " type can bitrate " + std::to_string(bits_per_second) + crlf;
  return text + "ip link set " + name + " up" + crlf;
}

std::string RateText(std::optional<uint32_t> bits_per_second) {
  return bits_per_second ? std::to_string(*bits_per_second) + " bit/s"
                         : platform::Tr(TELPOD_TEXT("Connection", "不明な通信速度"));
}

}  // namespace

SocketCanConnection::~SocketCanConnection() {
  Close();
}

bool SocketCanConnection::OffersRate(int32_t t_bitRate) {
  return FindBitRate(t_bitRate).has_value();
}

bool SocketCanConnection::SelectRate(int32_t t_bitRate) {
  const auto rate = FindBitRate(t_bitRate);
  if (!rate) return false;
  bits_per_second_ = static_cast<uint32_t>(rate->bits_per_second);
  return true;
}

bool SocketCanConnection::Open() {
  SayWhyOpenFailed({});
  const int32_t selected = db_.SocketCAN_SelectNo();
  if (selected < 1 || selected > db_.SocketCAN_FindCount()) return false;
  const std::string name = db_.SocketCAN_IfName(static_cast<int16_t>(selected));
  if (name.empty() || !UseController(name)) return false;
  socket_ = system_.OpenRawSocket(name);
  db_.set_SocketCAN_Handle(socket_);
  return socket_ >= 0;
}

bool SocketCanConnection::UseController(const std::string& name) {
  const SocketCanLink link = system_.Describe(name);
  if (link.kind != "can") return true;
  if (link.state == CAN_STATE_STOPPED) return BringUp(name, link.bitrate);
  // Up, or in a state the kernel does not say: somebody else's controller.
  state_ = link.state ? SocketCAN_LinkBusState(*link.state) : BusState::Normal;
  if (link.bitrate == bits_per_second_) return true;
  SayWhyOpenFailed(SocketCAN_SharedRateMessage(name, link.bitrate, bits_per_second_));
  return false;
}

bool SocketCanConnection::BringUp(const std::string& name, std::optional<uint32_t> bitrate) {
  ControlResult result = ControlResult::Ok;
  if (bitrate != bits_per_second_) result = system_.SetBitRate(name, bits_per_second_);
  if (result == ControlResult::Ok) result = system_.StartController(name);
  if (result == ControlResult::Ok) {
    brought_up_ = name;
    return true;
  }
  if (result == ControlResult::NotPermitted) {
    SayWhyOpenFailed(SocketCAN_PermissionMessage(name, bits_per_second_));
  }
  return false;
}

bool SocketCanConnection::WriteFrame(const CanFrame& frame) {
  const auto kernel_frame = SocketCAN_Frame(frame);
  return kernel_frame && system_.WriteFrame(socket_, *kernel_frame);
}

BusState SocketCanConnection::ReadBusState() {
  can_frame frame{};
  for (int n = 0; n < kMaxErrorFramesPerReading && system_.ReadErrorFrame(socket_, frame); ++n) {
    state_ = SocketCAN_ErrorFrameBusState(state_, frame);
  }
  return state_;
}

int32_t SocketCanConnection::Close() {
  if (socket_ >= 0) system_.CloseSocket(socket_);
  socket_ = -1;
  db_.set_SocketCAN_Handle(-1);
  // Only what this connection brought up goes down again.
  if (!brought_up_.empty()) system_.StopController(std::exchange(brought_up_, std::string()));
  return 0;
}

BusState SocketCAN_LinkBusState(int32_t state) {
  switch (state) {
    case CAN_STATE_ERROR_WARNING:
      return BusState::ErrorWarning;
    case CAN_STATE_ERROR_PASSIVE:
      return BusState::ErrorPassive;
    case CAN_STATE_BUS_OFF:
      return BusState::BusOff;
    default:
      return BusState::Normal;
  }
}

BusState SocketCAN_ErrorFrameBusState(BusState before, const can_frame& frame) {
  const canid_t id = frame.can_id;
  if ((id & CAN_ERR_FLAG) == 0) return before;
  if (id & CAN_ERR_BUSOFF) return BusState::BusOff;
  const BusState after = (id & CAN_ERR_RESTARTED) ? BusState::Normal : before;
  if ((id & CAN_ERR_CRTL) == 0) return after;
  const uint8_t problem = frame.data[1];
  if (problem & CAN_ERR_CRTL_ACTIVE) return BusState::Normal;
  const BusState reported = BusStateOf(problem, kControllerProblemBits);
  // Overflows are problems too, but leave the state as it was.
  return reported == BusState::Normal ? after : reported;
}

std::string SocketCAN_PermissionMessage(const std::string& name, uint32_t bits_per_second) {
  const std::string crlf = platform::kCrLf;
  return platform::Tr(TELPOD_TEXT("Connection", "%1 を設定する権限がありません。"), {name}) + crlf +
         platform::Tr(kRunTheCommands) + crlf + IpLinkCommands(name, bits_per_second, false) +
         platform::Tr(connection_message::kEndConnection);
}

std::string SocketCAN_SharedRateMessage(const std::string& name, std::optional<uint32_t> running,
                                        uint32_t bits_per_second) {
  const std::string crlf = platform::kCrLf;
  return platform::Tr(TELPOD_TEXT("Connection", "%1 は %2 で動作しています。"),
                      {name, RateText(running)}) +
         platform::Tr(kLeftAsItIs) + crlf +
         platform::Tr(TELPOD_TEXT("Connection",
                                  "%1 で接続するには、管理者権限で次のコマンドを実行してから、"
                                  "もう一度接続してください。"),
                      {RateText(bits_per_second)}) +
         crlf + IpLinkCommands(name, bits_per_second, true) +
         platform::Tr(connection_message::kEndConnection);
}

}  // namespace telpod
