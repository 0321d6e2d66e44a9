#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "settings/xls/biff_record_writer.h"

namespace telpod::xls {

// The workbook's shared string table: every text cell refers to its text
// here by index. Texts are stored as UTF-16.
class BiffSharedStrings {
 public:
  // A cell holds at most this many characters; longer texts are cut.
  static constexpr size_t kMaxChars = 32767;

  // Index of `utf8`, adding it on first use; every call counts as one cell
  // referring to it.
  uint32_t Add(const std::string& utf8);

  // SST (continued in CONTINUE records past the record size limit, never
  // splitting a character) and the EXTSST index over it.
  void Write(BiffRecordWriter& out) const;

 private:
  std::vector<std::u16string> strings_;
  std::map<std::string, uint32_t> index_;
  uint32_t references_ = 0;
};

}  // namespace telpod::xls
