#pragma once

#include <istream>
#include <memory>
#include <string>
#include <string_view>

#include "model/recorded_frame.h"

namespace telpod {

enum class LogFormat { Candump, Asc };

// A log opened for playing, or why it cannot be played.
struct LogOpening {
  std::unique_ptr<RecordedFrames> frames;  // null when refused
  std::string error;                       // the message, in the user's language
};

// The format of a log named `name` whose first line that is not blank is
// `first_line`: Vector ASC for a ".asc" name or an ASC header word,
// candump otherwise.
LogFormat GuessLogFormat(std::string_view name, std::string_view first_line);

// Opens a candump log or a Vector ASC file for playing. A file that cannot
// be opened, or that holds no frame to send, is refused with a message
// that names it.
LogOpening OpenRecordedLog(const std::string& path);

// The same over a stream of `size` bytes; `name` names it in messages.
LogOpening ReadRecordedLog(std::unique_ptr<std::istream> in, uint64_t size, LogFormat format,
                           const std::string& name);

}  // namespace telpod
