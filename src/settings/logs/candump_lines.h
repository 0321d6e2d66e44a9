#pragma once

#include "settings/logs/log_line_format.h"

namespace telpod {

// Lines of the candump log, as candump -l, python-can and the simulators
// write them:
//
//   (1733480000.123456) can0 7DF#0201         standard, two data bytes
//   (1733480000.223456) can0 18DAF110#R       extended, remote, length 0
//   (1733480000.323456) can0 123#R4 T         remote, length 4, sent
//   (1733480000.423456) can0 123#1122334455667788_C    length code 12
//
// Identifiers of up to three hex digits are standard, longer ones
// extended. CAN FD frames ("123##1...") and error frames (identifier with
// bit 29 set) are told apart, never read as frames.
class CandumpLines final : public LogLineFormat {
 public:
  LineKind Read(std::string_view line, RecordedFrame& frame) override;
  void Restart() override {}
  std::unique_ptr<LogLineFormat> ReaderOfLaterLines() const override {
    return std::make_unique<CandumpLines>();
  }
};

}  // namespace telpod
