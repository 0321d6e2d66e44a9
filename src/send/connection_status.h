#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/translation.h"

namespace telpod {

namespace status_text {
inline constexpr platform::SourceText kRunning = TELPOD_TEXT("Connection", "通信中");
inline constexpr platform::SourceText kClosing = TELPOD_TEXT("Connection", "終了処理中");
}  // namespace status_text

// How the controller stands on its bus, as far as its library says. Normal
// also covers a library that cannot tell.
enum class BusState { Normal, ErrorWarning, ErrorPassive, BusOff };

// Which bits of a library's status word mean each state; 0 where it has
// none.
struct BusStateBits {
  unsigned long bus_off;
  unsigned long error_passive;
  unsigned long error_warning;
};

// The state's words in the running status ("エラーパッシブ"); none for Normal.
std::optional<platform::SourceText> BusStateText(BusState state);

// The gravest state whose bits are set in `status`: bus off, then error
// passive, then error warning; Normal when none is.
BusState BusStateOf(unsigned long status, const BusStateBits& bits);

// What may be asked of a running connection between passes of its loop
// (never from inside a write): the window does so at its 800 ms timer.
class LiveConnection {
 public:
  // Frames the device did not take since Connect.
  virtual int64_t FailedWrites() const = 0;
  // Asks the device's library now.
  virtual BusState ReadBusState() = 0;
  // Bits of the frames the device took over the last second, per second,
  // in the bits the load estimate counts.
  virtual double TakenBitsPerSecond() = 0;
  // Bits of every frame the device took since the loop started.
  virtual int64_t TakenBits() const = 0;
  // The table is about to change under the loop: every row is brought up to
  // this moment first, so that the change counts from now.
  virtual void BringRowsUpToDate() {}
  // The status box's text for the figures above.
  std::string StatusText();

 protected:
  ~LiveConnection() = default;
};

// The running status: "通信中" while all is well, otherwise the failed
// writes and the bus state in parentheses, "通信中（送信エラー 12、バスオフ）",
// "通信中（エラーパッシブ）".
std::string RunningStatusText(int64_t failed_writes, BusState state);

}  // namespace telpod
