#include "settings/export_outcome.h"

namespace telpod::Setting_import_export {

void ShowExportOutcome(platform::MessageBoxes& messages, bool written,
                       const platform::SourceText& done, const std::string& file_name) noexcept {
  try {
    const std::string title = platform::Tr(TELPOD_TEXT("SettingsExport", "設定 Export"));
    const std::string second_line = platform::kCrLf + file_name;
    if (written) {
      messages.Show(platform::Tr(done) + second_line, title, platform::MessageIcon::None);
    } else {
      messages.Show(
          platform::Tr(TELPOD_TEXT("SettingsExport", "設定のエクスポートに失敗しました。")) +
              second_line,
          title, platform::MessageIcon::Critical);
    }
  } catch (...) {
    // The window could not show the box; the file's fate is already settled.
  }
}

}  // namespace telpod::Setting_import_export
