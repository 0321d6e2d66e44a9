#include "settings/logs/log_file_reader.h"

#include <algorithm>

namespace telpod {

namespace {
// How much of the file's end is searched for its last frame.
constexpr uint64_t kTailBytes = 64 * 1024;
}  // namespace

LogFileReader::LogFileReader(std::unique_ptr<std::istream> in, uint64_t size,
                             std::unique_ptr<LogLineFormat> format)
    : in_(std::move(in)), size_(size), format_(std::move(format)), lines_(*in_) {}

bool LogFileReader::Next(RecordedFrame& frame) {
  TextLine line;
  while (lines_.Next(line)) {
    const LineKind kind = line.too_long ? LineKind::Unreadable : format_->Read(line.text, frame);
    if (kind == LineKind::Frame) return true;
    Count(kind);
  }
  return false;
}

void LogFileReader::Count(LineKind kind) {
  switch (kind) {
    case LineKind::Fd:
      ++skipped_.fd;
      break;
    case LineKind::Error:
      ++skipped_.error;
      break;
    case LineKind::Other:
      ++skipped_.other;
      break;
    case LineKind::Unreadable:
      ++skipped_.unreadable;
      break;
    case LineKind::Frame:
    case LineKind::Quiet:
      break;
  }
}

bool LogFileReader::Rewind() {
  format_->Restart();
  return lines_.Rewind();
}

double LogFileReader::Position() const {
  if (size_ == 0) return 1.0;
  return std::min(1.0, static_cast<double>(lines_.consumed()) / static_cast<double>(size_));
}

bool LogFileReader::Prepare() {
  RecordedFrame first;
  if (!Next(first)) return false;
  FindLastTime();
  skipped_ = {};
  return Rewind();
}

void LogFileReader::FindLastTime() {
  // The header is behind us, so a copy of the format reads the tail as
  // the whole file would.
  const auto tail_format = format_->ReaderOfLaterLines();
  if (!tail_format) return;
  in_->clear();
  in_->seekg(static_cast<std::streamoff>(size_ - std::min(size_, kTailBytes)));
  BoundedLineReader tail(*in_);
  TextLine line;
  RecordedFrame frame;
  while (tail.Next(line)) {
    if (!line.too_long && tail_format->Read(line.text, frame) == LineKind::Frame) {
      last_time_ns_ = frame.time_ns;
    }
  }
}

}  // namespace telpod
