#include "settings/xls/excel_install_check.h"

namespace telpod::Setting_import_export {

namespace {
constexpr int32_t kExcelFound = 1;
constexpr int32_t kWorkbookEngineVersion = 11;
}  // namespace

void Check_Excel_Install(ELM327_Info& device) {
  device.set_ExcelInstallCheck(kExcelFound);
  device.set_ExcelInstallVersion(kWorkbookEngineVersion);
}

}  // namespace telpod::Setting_import_export
