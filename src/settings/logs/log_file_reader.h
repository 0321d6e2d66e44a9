#pragma once

#include <istream>
#include <memory>

#include "model/recorded_frame.h"
#include "settings/logs/bounded_line_reader.h"
#include "settings/logs/log_line_format.h"

namespace telpod {

// A log read frame by frame in one format, from a stream of `size` bytes
// that it owns; lines without a frame are counted by kind.
class LogFileReader final : public RecordedFrames {
 public:
  LogFileReader(std::unique_ptr<std::istream> in, uint64_t size,
                std::unique_ptr<LogLineFormat> format);

  bool Next(RecordedFrame& frame) override;
  bool Rewind() override;
  const SkippedLines& skipped() const override { return skipped_; }
  double Position() const override;
  std::optional<int64_t> LastTimeNs() const override { return last_time_ns_; }

  // Reads up to the first frame and looks for the last one's time in the
  // file's tail, then goes back to the start with nothing counted. False
  // when the file holds no frame; skipped() then tells what it holds.
  bool Prepare();

 private:
  void Count(LineKind kind);
  // The time of the last frame in the file's tail, when the format's times
  // stand alone there.
  void FindLastTime();

  std::unique_ptr<std::istream> in_;
  uint64_t size_;
  std::unique_ptr<LogLineFormat> format_;
  BoundedLineReader lines_;
  SkippedLines skipped_;
  std::optional<int64_t> last_time_ns_;
};

}  // namespace telpod
