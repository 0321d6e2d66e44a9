#pragma once

#include <string>

#include "settings/xls/sheet_model.h"

namespace telpod::xls {

// Writes `sheet` as an Excel 97-2003 workbook to `path`, replacing an
// existing file atomically: the old file stays whole on any failure.
// False on failure; never throws.
bool SaveWorkbook(const SheetModel& sheet, const std::string& sheet_name, const std::string& path);

}  // namespace telpod::xls
