#pragma once

#include "model/elm327_info.h"

namespace telpod::Setting_import_export {

// The spreadsheet detection. The workbook engine is part of the program, so
// a spreadsheet writer and reader is always there: ExcelInstallCheck 1, and
// ExcelInstallVersion 11, the version whose format (Excel 97-2003) it
// writes. Import_XLS and Export_XLS do nothing before it has run.
void Check_Excel_Install(ELM327_Info& device);

}  // namespace telpod::Setting_import_export
