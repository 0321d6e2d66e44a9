#pragma once

#include <memory>
#include <string_view>

#include "model/recorded_frame.h"

namespace telpod {

// What one line of a log holds.
enum class LineKind { Frame, Quiet, Fd, Error, Other, Unreadable };

// How one log format reads its lines. A format may keep what its header
// said (number base, relative times) from one line to the next.
class LogLineFormat {
 public:
  virtual ~LogLineFormat() = default;
  // Fills `frame` when the line holds one (Frame); Quiet for blank lines,
  // comments and headers, which are not counted.
  virtual LineKind Read(std::string_view line, RecordedFrame& frame) = 0;
  // Forgets what the lines so far said, for reading from the start again.
  virtual void Restart() = 0;
  // A copy that reads a line in the middle of the file as this one would
  // there; null when a line's time depends on the lines before it.
  virtual std::unique_ptr<LogLineFormat> ReaderOfLaterLines() const = 0;
};

}  // namespace telpod
