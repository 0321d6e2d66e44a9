#pragma once

#include <memory>
#include <string>

#include "settings/xls/scratch_file.h"

namespace telpod::xls {

// Reads cells of the active worksheet of an .xls workbook (the one it
// opens on; Excel 5 or 97-2003, any writer) through FreeXL. FreeXL trusts its input, so it gets
// only workbook streams that passed CheckBiffStream, in a container written
// afresh: a damaged or hostile file is refused by Open, never a crash.
class WorkbookReader {
 public:
  WorkbookReader() = default;
  ~WorkbookReader();
  WorkbookReader(const WorkbookReader&) = delete;
  WorkbookReader& operator=(const WorkbookReader&) = delete;

  // False when the file cannot be read as an unencrypted workbook with at
  // least one worksheet, or is larger than any settings workbook would be.
  bool Open(const std::string& path);

  // The cell as text: a number in plain decimal ("10", "12.5", "0.3"), a
  // text as it is (UTF-8), a date as FreeXL writes it; "" for an empty cell,
  // a cell outside the sheet and anything unreadable.
  std::string CellText(unsigned row, unsigned short column) const;

 private:
  void Close();

  std::unique_ptr<ScratchFile> copy_;
  const void* handle_ = nullptr;
  unsigned rows_ = 0;
  unsigned short columns_ = 0;
};

// A number as the spreadsheet shows it at 15 significant digits, "." as
// the decimal separator whatever the locale.
std::string NumberText(double value);

}  // namespace telpod::xls
