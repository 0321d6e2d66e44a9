#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "devices/slcan/slcan_catalogue.h"
#include "devices/slcan/slcan_link.h"
#include "send/connection_skeleton.h"

namespace telpod::slcan {

// How long the adapter has to answer a command; a frame's answer is awaited
// for less, since the loop waits with it.
inline constexpr std::chrono::milliseconds kCommandTimeout{500};
inline constexpr std::chrono::milliseconds kFrameTimeout{100};

// A serial-line adapter on the connection skeleton: every rate of the table
// (S0..S8), the channel opened (O), one frame command per row, each
// answered before the next goes, the status flags (F) for the bus state,
// and the channel closed (C) at the end.
class SlcanConnection final : public FamilyConnection {
 public:
  // `adapter` may be null (nothing chosen): the open then fails.
  explicit SlcanConnection(const Adapter* adapter) : adapter_(adapter) {}

  bool SelectRate(int32_t t_bitRate) override;
  // Ends what an earlier program left open before setting the rate.
  bool Open() override;
  // Names the port and whom to ask when the user may not open it, or says
  // that another program holds it.
  // A frame the adapter refuses (BEL) or does not answer, or one it cannot
  // carry, is a failed write. Once the adapter stops answering, later
  // frames do not wait for it, so the window stays alive.
  bool WriteFrame(const CanFrame& frame) override;
  BusState ReadBusState() override;
  int32_t Close() override;

 private:
  std::optional<Reply> Ask(std::string_view command, std::chrono::milliseconds timeout);

  const Adapter* adapter_;
  Link link_;
  std::string rate_command_;
  bool open_ = false;
  bool answering_ = true;
};

// What the user sees when the port may not be opened: the port, and the
// group to join (dialout on Debian) with the command that does it.
std::string PermissionMessage(const std::string& port, const std::string& group);

}  // namespace telpod::slcan
