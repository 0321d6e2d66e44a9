#pragma once

#include <string_view>

namespace telpod::xls {

// Checks a workbook stream against what FreeXL's record parser takes for
// granted without verifying it: texts that lie inside their records, shared
// strings continued at most once, one bounded cell grid per sheet, no cell
// written twice, and no date so far away that its date arithmetic runs for
// seconds. FreeXL gets to read only streams that pass, so a damaged or
// hostile file cannot make it read out of bounds, leak or hang.
//
// Refused besides: encrypted workbooks, versions before Excel 5, and sheets
// without a DIMENSIONS record (chart sheets, for instance).
bool CheckBiffStream(std::string_view stream);

// The position, among the workbook's sheets, of the one it opens on (the
// selected tab of the WINDOW1 record); 0 when the stream names none.
unsigned ActiveSheetIndex(std::string_view stream);

}  // namespace telpod::xls
