#include "devices/slcan/slcan_link.h"

namespace telpod::slcan {

std::optional<std::string> Link::Synchronize(platform::Deadline deadline) {
  if (!port_.WriteAll(std::string(kClearLine) + kVersion, deadline)) return std::nullopt;
  while (const auto reply = NextReply(deadline)) {
    if (reply->kind == Reply::Kind::Version) return reply->text;
  }
  return std::nullopt;
}

std::optional<Reply> Link::Ask(std::string_view command, platform::Deadline deadline) {
  if (!port_.WriteAll(command, deadline)) return std::nullopt;
  return NextReply(deadline);
}

std::optional<Reply> Link::NextReply(platform::Deadline deadline) {
  std::string bytes;
  // A device that never stops talking still lets go at the deadline.
  for (bool more = true;; more = platform::Deadline::clock::now() < deadline) {
    while (auto reply = reader_.Next()) {
      if (reply->kind != Reply::Kind::Frame) return reply;
    }
    bytes.clear();
    if (!more || !port_.ReadSome(bytes, deadline)) return std::nullopt;
    reader_.Feed(bytes);
  }
}

}  // namespace telpod::slcan
