#include "settings/export_outcome.h"

#include "settings/file_outcome.h"

namespace telpod::Setting_import_export {

void ShowExportOutcome(platform::MessageBoxes& messages, bool written,
                       const platform::SourceText& done, const std::string& file_name) noexcept {
  ShowFileOutcome(messages,
                  {TELPOD_TEXT("SettingsExport", "設定 Export"), done,
                   TELPOD_TEXT("SettingsExport", "設定のエクスポートに失敗しました。")},
                  written, file_name);
}

}  // namespace telpod::Setting_import_export
