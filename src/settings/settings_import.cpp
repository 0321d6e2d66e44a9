#include "settings/settings_import.h"

#include <algorithm>
#include <cctype>

#include "platform/program_folder.h"
#include "platform/translation.h"
#include "settings/csv_import.h"
#include "settings/file_outcome.h"
#include "settings/xls/xls_import.h"

namespace telpod::Setting_import_export {
namespace {

std::string UpperExtension(const std::string& name) {
  const auto dot = name.find_last_of('.');
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return ext;
}

}  // namespace

ChosenFile SplitChosenPath(const std::string& path) {
  const auto slash = path.find_last_of(platform::PathSeparator()[0]);
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

bool IsImportableKind(const std::string& path) {
  const std::string extension = UpperExtension(SplitChosenPath(path).name);
  return extension == "XLS" || extension == "CSV";
}

int32_t Import_Settings_File(ELM327_Info& device, const std::string& path, CAN_SendDB& SendDB,
                             ImportReport* report) {
  if (!IsImportableKind(path)) {
    // A missing file or a folder is told as such, whatever its name.
    if (report != nullptr && IsReadable(path, *report))
      report->refusal = ImportRefusal::UnknownKind;
    return 0;
  }
  const ChosenFile chosen = SplitChosenPath(path);
  const std::string extension = UpperExtension(chosen.name);
  device.set_t_setting_file_path(chosen.folder);
  const std::string& folder = device.t_setting_file_path();
  return extension == "XLS" ? Import_XLS(device, chosen.name, folder, SendDB, report)
                            : Import_CSV(device, chosen.name, folder, SendDB, report);
}

void ShowImportOutcome(platform::MessageBoxes& messages, bool taken,
                       const std::string& file_name) noexcept {
  ShowFileOutcome(messages,
                  {TELPOD_TEXT("SettingsImport", "設定 import"),
                   TELPOD_TEXT("SettingsImport", "設定をインポートしました。"),
                   TELPOD_TEXT("SettingsImport", "設定のインポートに失敗しました。")},
                  taken, file_name);
}

}  // namespace telpod::Setting_import_export
