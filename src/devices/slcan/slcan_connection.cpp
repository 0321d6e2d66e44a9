#include "devices/slcan/slcan_connection.h"

#include "devices/slcan/slcan_discovery.h"
#include "model/bit_rate_table.h"
#include "platform/translation.h"

namespace telpod::slcan {

namespace {

bool IsOk(const std::optional<Reply>& reply) {
  return reply && reply->kind == Reply::Kind::Ok;
}

std::string BusyMessage(const std::string& port) {
  return platform::Tr(TELPOD_TEXT("Connection", "%1 はほかのプログラムが使用しています。"),
                      {port}) +
         platform::kCrLf + platform::Tr(connection_message::kEndConnection);
}

}  // namespace

bool SlcanConnection::SelectRate(int32_t t_bitRate) {
  const auto rate = FindBitRate(t_bitRate);
  const auto command = rate ? RateCommand(rate->bits_per_second) : std::nullopt;
  if (!command) return false;
  rate_command_ = *command;
  return true;
}

bool SlcanConnection::Open() {
  SayWhyOpenFailed({});
  if (adapter_ == nullptr) return false;
  const auto opened = link_.Open(adapter_->port);
  if (opened.error == platform::SerialOpenError::PermissionDenied) {
    SayWhyOpenFailed(PermissionMessage(adapter_->port, opened.group));
  } else if (opened.error == platform::SerialOpenError::Busy) {
    SayWhyOpenFailed(BusyMessage(adapter_->port));
  }
  if (!opened.ok()) return false;
  const auto deadline = platform::Deadline::clock::now() + kCommandTimeout;
  // The channel may still be open from a program that ended without closing
  // it; closing a closed channel is refused, which changes nothing.
  open_ = link_.Synchronize(deadline) && Ask(kClose, kCommandTimeout) &&
          IsOk(Ask(rate_command_, kCommandTimeout)) && IsOk(Ask(kOpen, kCommandTimeout));
  if (!open_) link_.Close();
  return open_;
}

bool SlcanConnection::WriteFrame(const CanFrame& frame) {
  const auto command = FrameCommand(frame);
  return command && IsOk(Ask(*command, kFrameTimeout));
}

BusState SlcanConnection::ReadBusState() {
  const auto reply = Ask(kStatusFlags, kFrameTimeout);
  return reply && reply->kind == Reply::Kind::Status ? BusStateOfFlags(reply->flags)
                                                     : BusState::Normal;
}

int32_t SlcanConnection::Close() {
  if (open_) Ask(kClose, kCommandTimeout);
  open_ = false;
  link_.Close();
  return 0;
}

std::optional<Reply> SlcanConnection::Ask(std::string_view command,
                                          std::chrono::milliseconds timeout) {
  // An adapter that stopped answering gets no more waiting, only a look at
  // what it sent since; an answer brings the waiting back.
  const auto wait = answering_ ? timeout : std::chrono::milliseconds(0);
  auto reply = link_.Ask(command, platform::Deadline::clock::now() + wait);
  answering_ = reply.has_value();
  return reply;
}

std::string PermissionMessage(const std::string& port, const std::string& group) {
  const std::string crlf = platform::kCrLf;
  std::string text = NoPermissionText(port) + crlf;
  if (group.empty() || group == "root") {
    text += platform::Tr(TELPOD_TEXT("Connection",
                                     "管理者にこのポートを読み書きする権限を依頼してください。")) +
            crlf;
  } else {
    text += platform::Tr(
                TELPOD_TEXT("Connection", "%1 グループに参加してから、ログインし直してください。"),
                {group}) +
            crlf + "sudo usermod -aG " + group + " $USER" + crlf;
  }
  return text + platform::Tr(connection_message::kEndConnection);
}

}  // namespace telpod::slcan
