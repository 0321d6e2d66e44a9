#include "settings/xls/workbook_file.h"

#include <exception>

#include "platform/atomic_file.h"
#include "settings/xls/biff_workbook_writer.h"
#include "settings/xls/compound_file.h"

namespace telpod::xls {

bool SaveWorkbook(const SheetModel& sheet, const std::string& sheet_name, const std::string& path) {
  try {
    const auto file = PackWorkbookFile(WriteBiff8Workbook(sheet, sheet_name));
    return file && platform::ReplaceFileAtomically(path, *file);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace telpod::xls
