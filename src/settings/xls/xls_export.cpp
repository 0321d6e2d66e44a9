#include "settings/xls/xls_export.h"

#include <ctime>
#include <exception>

#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "platform/user_folders.h"
#include "settings/export_outcome.h"
#include "settings/xls/settings_sheet.h"
#include "settings/xls/workbook_file.h"

namespace telpod::Setting_import_export {
namespace {

// "2024/05/01 09:30:00", local time.
std::string ExportTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (const std::tm* t = std::localtime(&now)) local = *t;
  char buffer[32];
  const size_t n = std::strftime(buffer, sizeof buffer, "%Y/%m/%d %H:%M:%S", &local);
  return std::string(buffer, n);
}

bool WriteSettingsWorkbook(const ELM327_Info& device, const std::string& path,
                           const CAN_SendDB& db) {
  xls::SheetModel sheet;
  xls::DescribeSettingsSheet(sheet, device, db, ExportTime());
  return xls::SaveWorkbook(sheet, xls::kSheetName, path);
}

}  // namespace

void Export_XLS(ELM327_Info& device, const std::string& file_name, const std::string& folder,
                CAN_SendDB& SendDB, platform::MessageBoxes& messages) {
  if (device.ExcelInstallCheck() == 0) return;
  bool written = false;
  try {
    const std::string target = platform::ExistingFolderOrDefault(folder);
    written = WriteSettingsWorkbook(device, platform::JoinPath(target, file_name), SendDB);
  } catch (...) {
    written = false;
  }
  ShowExportOutcome(messages, written,
                    TELPOD_TEXT("SettingsExport", "設定をxlsでエクスポートしました。"), file_name);
}

}  // namespace telpod::Setting_import_export
