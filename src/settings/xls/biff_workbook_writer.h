#pragma once

#include <string>

#include "settings/xls/sheet_model.h"

namespace telpod::xls {

// The "Workbook" stream of an Excel 97-2003 workbook (BIFF8) holding `sheet`
// as its only, active worksheet. Throws std::exception subclasses when the
// sheet cannot be expressed (a record past its size limit).
std::string WriteBiff8Workbook(const SheetModel& sheet, const std::string& sheet_name);

}  // namespace telpod::xls
