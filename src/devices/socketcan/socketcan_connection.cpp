#include "devices/socketcan/socketcan_connection.h"

#include <linux/can/netlink.h>

#include "devices/socketcan/socketcan_frame.h"
#include "model/bit_rate_table.h"
#include "platform/translation.h"
#include "platform/window_services.h"

namespace telpod {

SocketCanConnection::~SocketCanConnection() {
  Close();
}

bool SocketCanConnection::SelectRate(int32_t t_bitRate) {
  const auto rate = FindBitRate(t_bitRate);
  if (!rate || !rate->SupportedBy(Family::SocketCAN)) return false;
  bits_per_second_ = static_cast<uint32_t>(rate->bits_per_second);
  return true;
}

bool SocketCanConnection::Open() {
  permission_message_.clear();
  const int32_t selected = db_.SocketCAN_SelectNo();
  if (selected < 1 || selected > db_.SocketCAN_FindCount()) return false;
  const std::string name = db_.SocketCAN_IfName(static_cast<int16_t>(selected));
  if (name.empty() || !ConfigureController(name)) return false;
  socket_ = system_.OpenRawSocket(name);
  db_.set_SocketCAN_Handle(socket_);
  return socket_ >= 0;
}

bool SocketCanConnection::ConfigureController(const std::string& name) {
  const SocketCanLink link = system_.Describe(name);
  if (link.kind != "can") return true;
  const bool stopped = link.state == CAN_STATE_STOPPED;
  ControlResult result = ControlResult::Ok;
  if (link.bitrate != bits_per_second_) {
    if (!stopped) result = system_.StopController(name);
    if (result == ControlResult::Ok) {
      result = system_.SetBitRate(name, bits_per_second_);
      if (result == ControlResult::Ok) {
        result = system_.StartController(name);
      } else if (!stopped) {
        system_.StartController(name);  // leave it running at its old rate
      }
    }
  } else if (stopped) {
    result = system_.StartController(name);
  }
  if (result == ControlResult::NotPermitted) {
    permission_message_ = SocketCAN_PermissionMessage(name, bits_per_second_, !stopped);
  }
  return result == ControlResult::Ok;
}

std::string SocketCanConnection::OpenFailureMessage() const {
  return permission_message_.empty() ? FamilyConnection::OpenFailureMessage() : permission_message_;
}

void SocketCanConnection::Start(LoopStart& start) {
  start.StampLastVisit();
  start.ShowRunning();
}

void SocketCanConnection::WriteRow(const CAN_SendDB& SendDB, int16_t i) {
  if (const auto frame = SocketCAN_Frame(SendDB, i)) system_.WriteFrame(socket_, *frame);
}

int32_t SocketCanConnection::Close() {
  if (socket_ >= 0) system_.CloseSocket(socket_);
  socket_ = -1;
  db_.set_SocketCAN_Handle(-1);
  return 0;
}

std::string SocketCAN_PermissionMessage(const std::string& name, uint32_t bits_per_second,
                                        bool running) {
  const std::string crlf = platform::kCrLf;
  std::string text =
      platform::Tr(TELPOD_TEXT("Connection", "%1 を設定する権限がありません。"), {name}) + crlf +
      platform::Tr(TELPOD_TEXT(
          "Connection", "管理者権限で次のコマンドを実行してから、もう一度接続してください。")) +
      crlf;
  if (running) text += "ip link set " + name + " down" + crlf;
  text += "ip link set " + name + " type can bitrate " + std::to_string(bits_per_second) + crlf;
  text += "ip link set " + name + " up" + crlf;
  return text + platform::Tr(connection_message::kEndConnection);
}

}  // namespace telpod
