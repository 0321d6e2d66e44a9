#pragma once

#include <string>

#include "model/can_senddb.h"
#include "model/elm327_info.h"
#include "settings/xls/sheet_model.h"

namespace telpod::xls {

// The settings workbook's one sheet: its marker cells and the table of the
// eight message rows. Rows and columns count from 0 here.
inline constexpr const char* kSheetName = "Sheet1";
inline constexpr CellRef kTitleCell{0, 0};   // A1
inline constexpr CellRef kMarkerCell{0, 5};  // F1
// Sheet row 7 holds table row 0; columns B..N hold the row's fields in the
// order E, ID, DLC, D1..D8, period, periodic.
inline constexpr int kFirstTableRow = 6;
inline constexpr int kFirstFieldColumn = 1;

// Describes the whole sheet as the export writes it: identity texts, the
// marker, the export time in M1, the notes, the header line and the eight
// rows with their formats and column widths.
void DescribeSettingsSheet(SheetModel& sheet, const ELM327_Info& device, const CAN_SendDB& db,
                           const std::string& export_time);

}  // namespace telpod::xls
