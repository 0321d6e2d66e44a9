#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/can_frame.h"
#include "platform/translation.h"

namespace telpod {

// One frame of a recorded log, with when and where it was recorded.
struct RecordedFrame {
  // On the recording's own clock; only differences between frames count.
  int64_t time_ns = 0;
  // The interface or channel it was recorded on, as the log names it:
  // "can0", "1".
  std::string channel;
  CanFrame frame;
};

// Lines of a log that carry no frame to send, by why.
struct SkippedLines {
  int64_t fd = 0;          // CAN FD frames: a classic controller cannot send them
  int64_t error = 0;       // error frames: the bus made them, nobody sends them
  int64_t unreadable = 0;  // lines that cannot be read, too long ones included
  int64_t other = 0;       // events of other kinds: statistics, status, triggers

  int64_t Total() const { return fd + error + unreadable + other; }
  friend bool operator==(const SkippedLines&, const SkippedLines&) = default;
};

// A number of things passed over and the text that says what they are,
// with %1 for the number: "CAN FD フレーム %1".
struct CountedReason {
  platform::SourceText text;
  int64_t count;
};

// The reasons that counted anything, joined in the user's language: "CAN
// FD フレーム 2、読めない行 1"; empty when none did.
std::string CountsText(const std::vector<CountedReason>& reasons);

// The lines passed over, by kind, for CountsText.
std::vector<CountedReason> SkippedLineReasons(const SkippedLines& skipped);

// A recorded log read frame by frame, never held whole, so a file of any
// size starts playing at once.
class RecordedFrames {
 public:
  virtual ~RecordedFrames() = default;
  // The next frame in the file's order; false at the end.
  virtual bool Next(RecordedFrame& frame) = 0;
  // From the first line again, for another round; the skipped lines go on
  // counting. False when the file cannot be read again.
  virtual bool Rewind() = 0;
  // What has been passed over since the file was opened.
  virtual const SkippedLines& skipped() const = 0;
  // How far through the file reading has come, 0 to 1.
  virtual double Position() const = 0;
  // The recorded time of the file's last frame when the file tells it
  // without being read whole.
  virtual std::optional<int64_t> LastTimeNs() const = 0;
};

}  // namespace telpod
