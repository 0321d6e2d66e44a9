#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/can_frame.h"
#include "send/connection_skeleton.h"

namespace telpod::slcan {

// The ASCII command set of serial-line CAN adapters (Lawicel CANUSB and the
// many adapters that copy it): one command per line, ended by CR; CR (or
// "z"/"Z" after a frame) answers yes, BEL answers no.
inline constexpr char kOk = '\r';
inline constexpr char kError = '\a';

inline constexpr const char* kOpen = "O\r";
inline constexpr const char* kClose = "C\r";
inline constexpr const char* kStatusFlags = "F\r";
inline constexpr const char* kVersion = "V\r";
inline constexpr const char* kSerialNumber = "N\r";
// Ends whatever half a command an earlier program left in the adapter.
inline constexpr const char* kClearLine = "\r\r\r";

// "S6\r" for 500 kbit/s: S0..S8 are 10k, 20k, 50k, 100k, 125k, 250k, 500k,
// 800k and 1M; nullopt for any other rate.
std::optional<std::string> RateCommand(int32_t bits_per_second);

// "t7DF3112233\r", "T18DAF1108A1...\r", "r1230\r", "R18DAF1100\r":
// identifier, length and the frame's data bytes in upper-case hex. nullopt
// when the identifier does not fit its format or the length is above 8,
// which no adapter of this kind takes.
std::optional<std::string> FrameCommand(const CanFrame& frame);

// One answer of the adapter.
struct Reply {
  enum class Kind {
    Ok,       // CR, "z" or "Z"
    Error,    // BEL
    Frame,    // a frame the adapter received from the bus ("t123..."), not an answer
    Status,   // "Fxx": the status flags in `flags`
    Version,  // "Vhhss": `text` holds hhss
    Serial,   // "Nxxxx": `text` holds xxxx
    Unknown,  // anything else
  };
  Kind kind = Kind::Unknown;
  std::string text;
  uint8_t flags = 0;
};

// Cuts the bytes an adapter sends into replies; bytes may come in pieces of
// any size. A line longer than any reply is dropped as it comes, so noise
// without an end takes no more room.
class ReplyReader {
 public:
  void Feed(std::string_view bytes) { pending_.append(bytes); }
  std::optional<Reply> Next();

 private:
  std::string pending_;  // bytes not yet cut into replies
};

// The state the status flags tell: bit 7 (bus error, set by adapters whose
// controller went off the bus), bit 5 (error passive), bit 2 (error warning).
BusState BusStateOfFlags(uint8_t flags);

// "HW 1.0 SW 1.3" for the hhss of "V1013"; other texts as they are.
std::string VersionText(const std::string& hhss);

}  // namespace telpod::slcan
