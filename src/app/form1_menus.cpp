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

std::optional<std::string> Form1::ChooseFile(const QString& title, const char* file_name,
                                             const QString& filter, bool save) {
  return ports_.dialogs->Choose(
      {title.toStdString(), device.t_setting_file_path(), file_name, filter.toStdString(), save});
}

std::optional<std::string> Form1::ChooseExportFile(const char* file_name, const QString& filter) {
  return ChooseFile(tr("名前を付けて設定を保存"), file_name, filter, true);
}

void Form1::menu_file_export_csv_Click() {
  const auto path = ChooseExportFile("TELPOD.csv", tr("CSV ファイル (*.csv)"));
  if (!path) return;
  Screen_To_SendDB();
  const ChosenFile chosen = Split(*path);
  device.set_t_setting_file_path(chosen.folder);
  Setting_import_export::Export_CSV(device, chosen.name, device.t_setting_file_path(), Tx_CANDATA,
                                    *ports_.messages);
}

void Form1::menu_file_export_excel_Click() {
  const auto path = ChooseExportFile("TELPOD.xls", tr("xls ファイル (*.xls)"));
  if (!path) return;
  Screen_To_SendDB();
  const ChosenFile chosen = Split(*path);
  device.set_t_setting_file_path(chosen.folder);
  Setting_import_export::Export_XLS(device, chosen.name, device.t_setting_file_path(), Tx_CANDATA,
                                    *ports_.messages);
}

void Form1::menu_file_import_Click() {
  const auto path = ChooseFile(tr("設定ファイルをインポート"), "TELPOD.xls",
                               tr("設定ファイル (*.csv *.xls)"), false);
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
  const std::string title = tr("設定 import").toStdString();
  const std::string second_line = platform::kCrLf + chosen.name;
  if (result == 1) {
    SendDB_To_Screen();
    ports_.messages->Show(tr("設定をインポートしました。").toStdString() + second_line, title,
                          platform::MessageIcon::None);
  } else {
    ports_.messages->Show(tr("設定のインポートに失敗しました。").toStdString() + second_line, title,
                          platform::MessageIcon::Critical);
  }
}

}  // namespace telpod
