// The file menu: export and import of the rows.
#include <algorithm>
#include <cctype>

#include "app/form1.h"
#include "platform/program_folder.h"
#include "settings/setting_import_export.h"
#include "settings/xls/xls_export.h"
#include "settings/xls/xls_import.h"

namespace telpod {

namespace {

constexpr const char* kSaveTitle = "名前を付けて設定を保存";
constexpr const char* kImportTitle = "設定ファイルをインポート";
constexpr const char* kImportMessageTitle = "設定 import";

struct ChosenFile {
  std::string folder;  // keeps its trailing separator
  std::string name;
};

ChosenFile Split(const std::string& path) {
  const auto slash = path.find_last_of(platform::PathSeparator()[0]);
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string UpperExtension(const std::string& name) {
  const auto dot = name.find_last_of('.');
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return ext;
}

}  // namespace

std::optional<std::string> Form1::ChooseFile(const char* title, const char* file_name,
                                             const char* filter, bool save) {
  return ports_.dialogs->Choose({title, device.t_setting_file_path(), file_name, filter, save});
}

void Form1::menu_file_export_csv_Click() {
  const auto path = ChooseFile(kSaveTitle, "TELPOD.csv", "CSV ファイル (*.csv)", true);
  if (!path) return;
  Screen_To_SendDB();
  const ChosenFile chosen = Split(*path);
  device.set_t_setting_file_path(chosen.folder);
  Setting_import_export::Export_CSV(device, chosen.name, device.t_setting_file_path(), Tx_CANDATA,
                                    *ports_.messages);
}

void Form1::menu_file_export_excel_Click() {
  const auto path = ChooseFile(kSaveTitle, "TELPOD.xls", "xls ファイル (*.xls)", true);
  if (!path) return;
  Screen_To_SendDB();
  const ChosenFile chosen = Split(*path);
  device.set_t_setting_file_path(chosen.folder);
  Setting_import_export::Export_XLS(device, chosen.name, device.t_setting_file_path(), Tx_CANDATA,
                                    *ports_.messages);
}

void Form1::menu_file_import_Click() {
  const auto path = ChooseFile(kImportTitle, "TELPOD.xls", "設定ファイル (*.csv *.xls)", false);
  if (!path) return;
  const ChosenFile chosen = Split(*path);
  const std::string extension = UpperExtension(chosen.name);
  int32_t result = 0;
  if (extension == "XLS" || extension == "CSV") {
    device.set_t_setting_file_path(chosen.folder);
    result = extension == "XLS"
                 ? Setting_import_export::Import_XLS(device, chosen.name,
                                                     device.t_setting_file_path(), Tx_CANDATA)
                 : Setting_import_export::Import_CSV(device, chosen.name,
                                                     device.t_setting_file_path(), Tx_CANDATA);
  }
  if (result == 1) {
    SendDB_To_Screen();
    ports_.messages->Show(std::string("設定をインポートしました。") + platform::kCrLf + chosen.name,
                          kImportMessageTitle, platform::MessageIcon::None);
  } else {
    ports_.messages->Show(
        std::string("設定のインポートに失敗しました。") + platform::kCrLf + chosen.name,
        kImportMessageTitle, platform::MessageIcon::Critical);
  }
}

}  // namespace telpod
