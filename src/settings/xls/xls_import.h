#pragma once

#include <cstdint>
#include <string>

#include "model/can_senddb.h"
#include "model/elm327_info.h"
#include "settings/import_report.h"

namespace telpod::Setting_import_export {

// Reads the eight message rows from the settings workbook `folder` +
// `file_name` into the send table. The workbook is accepted when F1 holds
// exactly "設定ファイル" and A1 contains the first ten characters of the
// application title in any letter case; then every row is stored, each
// missing or invalid cell by its column's default. Returns 1 when accepted,
// 0 otherwise (no engine, no file, not a workbook, not a settings workbook);
// a refused workbook leaves the table untouched. Shows no message; `report`,
// when given, learns of each cell replaced by its default (by its sheet
// row) and why a refused workbook was refused.
int32_t Import_XLS(ELM327_Info& device, const std::string& file_name, const std::string& folder,
                   CAN_SendDB& SendDB, ImportReport* report = nullptr);

}  // namespace telpod::Setting_import_export
