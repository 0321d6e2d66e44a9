#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace telpod::Setting_import_export {

// Gives a text file one line at a time and holds no more than one line,
// however large the file: LF ends a line (a CR before it is dropped), and
// the text after the last LF is one more line, so "a\n" is "a" and "".
// A line longer than `longest` bytes ends the reading.
class LineReader {
 public:
  LineReader(std::istream& in, size_t longest) : in_(*in.rdbuf()), longest_(longest) {}

  // The next line, valid until the next call; nullopt at the end of the
  // text or at a line that is too long.
  std::optional<std::string_view> Next();
  // True once a line longer than `longest` stopped the reading.
  bool too_long() const { return too_long_; }
  // The number of the line Next gave last, from 1.
  long line_number() const { return number_; }

 private:
  std::streambuf& in_;
  size_t longest_;
  std::string line_;
  long number_ = 0;
  bool done_ = false;
  bool too_long_ = false;
};

}  // namespace telpod::Setting_import_export
