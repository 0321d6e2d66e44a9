#pragma once

#include <string>
#include <vector>

#include "model/row_fields.h"

namespace telpod::Setting_import_export {

// A field a reader could not take as it stood, stored as its column's
// default: where it was (the file's line, or the sheet's row, from 1), the
// column, the text read and the value stored instead.
struct ReplacedField {
  long line = 0;
  RowColumn column = RowColumn::E;
  std::string read;
  std::string used;
};

// Why a file gave no rows.
enum class ImportRefusal {
  None,         // rows were taken
  NoFile,       // nothing by that name
  IsFolder,     // a folder by that name
  NotReadable,  // the system refused to read it (error_number says why)
  UnknownKind,  // neither .csv nor .xls
  NoEngine,     // the workbook engine is not there
  LineTooLong,  // a line longer than any row line (line says which)
  NoMarkers,    // the title line or the "設定ファイル" line is missing (see missing_*)
  NoHeading,    // no heading line ("No") before the rows
  NoRowLine,    // no line numbered 1 to 8 after the heading
  NotWorkbook,  // not a workbook this reader takes
  NotSettings,  // a workbook without the settings sheet's markers
  Failed,       // anything else
};

// What an import met on its way, for a caller that tells the user more
// than the window's message box does. The window passes none.
struct ImportReport {
  std::vector<ReplacedField> replaced;
  ImportRefusal refusal = ImportRefusal::None;
  int error_number = 0;
  long line = 0;
  bool missing_title = false;
  bool missing_marker = false;
};

// True when `path` is a file that can be read; otherwise false, with the
// refusal that says why not in `report`.
bool IsReadable(const std::string& path, ImportReport& report);

}  // namespace telpod::Setting_import_export
