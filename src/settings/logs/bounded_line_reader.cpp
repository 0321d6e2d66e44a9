#include "settings/logs/bounded_line_reader.h"

#include <cstring>

namespace telpod {

namespace {
constexpr size_t kBufferBytes = 64 * 1024;
static_assert(kBufferBytes > 2 * BoundedLineReader::kMaxLineBytes);
}  // namespace

BoundedLineReader::BoundedLineReader(std::istream& in) : in_(in), buffer_(kBufferBytes) {}

bool BoundedLineReader::Next(TextLine& line) {
  for (;;) {
    const char* from = buffer_.data() + begin_;
    if (const void* lf = std::memchr(from, '\n', end_ - begin_)) {
      const auto end = static_cast<size_t>(static_cast<const char*>(lf) - buffer_.data());
      line = Cut(end, end + 1);
      return true;
    }
    if (discarding_ || end_ - begin_ > kMaxLineBytes) {
      // Too long to keep: what is buffered goes, up to the line's end.
      discarding_ = true;
      buffer_start_ += end_;
      begin_ = end_ = 0;
    }
    if (Refill()) continue;
    if (begin_ == end_ && !discarding_) return false;
    line = Cut(end_, end_);
    return true;
  }
}

TextLine BoundedLineReader::Cut(size_t end, size_t next) {
  TextLine line;
  line.too_long = discarding_ || end - begin_ > kMaxLineBytes;
  if (!line.too_long) {
    size_t stop = end;
    if (stop > begin_ && buffer_[stop - 1] == '\r') --stop;
    line.text = std::string_view(buffer_.data() + begin_, stop - begin_);
  }
  discarding_ = false;
  begin_ = next;
  return line;
}

bool BoundedLineReader::Refill() {
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    buffer_start_ += begin_;
    end_ -= begin_;
    begin_ = 0;
  }
  if (!in_.good()) return false;
  in_.read(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
  const auto got = static_cast<size_t>(in_.gcount());
  end_ += got;
  return got > 0;
}

bool BoundedLineReader::Rewind() {
  in_.clear();
  in_.seekg(0);
  if (in_.fail()) return false;
  begin_ = end_ = 0;
  buffer_start_ = 0;
  discarding_ = false;
  return true;
}

}  // namespace telpod
