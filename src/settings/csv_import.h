#pragma once

#include <cstdint>
#include <string>

#include "model/can_senddb.h"
#include "model/elm327_info.h"
#include "settings/import_report.h"

namespace telpod::Setting_import_export {

// Reads the rows of an exported CSV file at folder + file_name into the send
// table: 1 when at least one row line was taken, 0 otherwise (no file, not
// one of ours, no valid row line). Rows the file does not mention keep their
// values; a later line for the same row wins. Shows no message; `report`,
// when given, learns of each field replaced by its default and why a
// refused file was refused.
//
// The file is read as CP932 with CR LF or LF line ends; a file that does not
// carry both markers that way is read as UTF-8 (with or without a
// byte-order mark), as an editor may have re-saved it. A line longer than
// kLongestCsvLine refuses the file: the reader holds one line at a time.
int32_t Import_CSV(ELM327_Info& device, const std::string& file_name, const std::string& folder,
                   CAN_SendDB& SendDB, ImportReport* report = nullptr);

}  // namespace telpod::Setting_import_export
