#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/config.h"
#include "core/lonely_bus.h"
#include "core/wire_frame.h"

namespace cansim {

// One serial-line adapter as the Lawicel command set describes it: a rate
// is set (S0..S8) while the channel is closed, the channel opened (O) and
// closed (C); frames (t, T, r, R) and the status flags (F) only while it is
// open; version (V) and serial number (N) at any time. CR answers yes, BEL
// no, "z"/"Z" a frame taken.
class SlcanAdapter {
 public:
  // Learns of each frame the adapter puts on the bus, and of each close.
  struct Bus {
    std::function<void(const WireFrame&)> frame;
    std::function<void()> closed;
  };

  // Adapter `index` of the configuration, "slcan<index>" in the frame log.
  SlcanAdapter(const SerialAdapterSpec& setup, int32_t index, Bus bus)
      : setup_(setup),
        index_(index),
        name_("slcan" + std::to_string(index)),
        bus_(std::move(bus)),
        queue_(setup.bus) {}

  // The reply to one command line (without its CR); empty for none.
  std::string Answer(std::string_view command);
  const std::string& name() const { return name_; }

 private:
  std::string SetRate(std::string_view command);
  std::string Open();
  std::string Close();
  std::string Frame(std::string_view command);
  std::string StatusFlags() const;

  SerialAdapterSpec setup_;
  int32_t index_;
  std::string name_;
  Bus bus_;
  LonelyBus queue_;
  int rate_ = -1;  // the S digit, -1 before the first
  bool open_ = false;
};

}  // namespace cansim
