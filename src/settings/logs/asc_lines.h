#pragma once

#include "settings/logs/log_line_format.h"
#include "settings/logs/log_words.h"

namespace telpod {

// Lines of a Vector ASC text log. The header says the number base of the
// identifiers and data ("base hex|dec") and whether each time stamp counts
// from the start or from the event before ("timestamps absolute|relative").
// Classic frames are read with their channel:
//
//   17.876708 1  6F9             Rx   d 8 05 0C 00 00 00 00 00 00  Length = 240015
//   20.105214 2  18EBFF00x       Tx   d 2 01 A0
//   20.204895 1  1A2             Rx   r 4
//
// CAN FD lines, error frames and other events (status, statistics,
// triggers) are told apart, never read as frames.
class AscLines final : public LogLineFormat {
 public:
  LineKind Read(std::string_view line, RecordedFrame& frame) override;
  void Restart() override { *this = AscLines(); }
  std::unique_ptr<LogLineFormat> ReaderOfLaterLines() const override;

 private:
  LineKind Header(const LogWords& words);
  LineKind Event(const LogWords& words, int64_t time_ns, RecordedFrame& frame) const;
  // The words from the identifier on: "6F9 Rx d 8 05 0C ...".
  bool ReadMessage(const LogWords& words, CanFrame& frame) const;
  std::optional<uint32_t> Number(std::string_view text) const { return ParseUnsigned(text, base_); }

  int base_ = 16;
  bool relative_ = false;
  int64_t last_ns_ = 0;
};

}  // namespace telpod
