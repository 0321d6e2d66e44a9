#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string_view>
#include <vector>

namespace telpod {

// One line of a text file, without its line break (LF or CR LF).
struct TextLine {
  std::string_view text;
  // The line was longer than the reader keeps: `text` is empty and the
  // line was passed over.
  bool too_long = false;
};

// Reads a stream line by line through a buffer of fixed size, so neither a
// huge file nor a line without end is ever held in memory. The last line
// counts also without a line break.
class BoundedLineReader {
 public:
  static constexpr size_t kMaxLineBytes = 4096;

  explicit BoundedLineReader(std::istream& in);

  // The next line, valid until the next call; false at the end.
  bool Next(TextLine& line);
  // Back to the stream's start; false when it cannot seek.
  bool Rewind();
  // Bytes consumed from the stream's start.
  uint64_t consumed() const { return buffer_start_ + begin_; }

 private:
  // More bytes behind the kept ones; false when the stream has none.
  bool Refill();
  TextLine Cut(size_t end, size_t next);

  std::istream& in_;
  std::vector<char> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  uint64_t buffer_start_ = 0;
  bool discarding_ = false;
};

}  // namespace telpod
