// The file menu: export and import of the rows, and a log replayed.
#include "app/form1.h"
#include "app/replay_panel.h"
#include "settings/setting_import_export.h"
#include "settings/settings_import.h"
#include "settings/xls/xls_export.h"

namespace telpod {

using Setting_import_export::ChosenFile;
using Setting_import_export::SplitChosenPath;

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
  const ChosenFile chosen = SplitChosenPath(*path);
  device.set_t_setting_file_path(chosen.folder);
  Setting_import_export::Export_CSV(device, chosen.name, device.t_setting_file_path(), Tx_CANDATA,
                                    *ports_.messages);
}

void Form1::menu_file_export_excel_Click() {
  const auto path = ChooseExportFile("TELPOD.xls", tr("xls ファイル (*.xls)"));
  if (!path) return;
  Screen_To_SendDB();
  const ChosenFile chosen = SplitChosenPath(*path);
  device.set_t_setting_file_path(chosen.folder);
  Setting_import_export::Export_XLS(device, chosen.name, device.t_setting_file_path(), Tx_CANDATA,
                                    *ports_.messages);
}

void Form1::menu_file_import_Click() {
  const auto path = ChooseFile(tr("設定ファイルをインポート"), "TELPOD.xls",
                               tr("設定ファイル (*.csv *.xls)"), false);
  if (!path) return;
  RowsAboutToChange();
  const bool taken = Setting_import_export::Import_Settings_File(device, *path, Tx_CANDATA) == 1;
  if (taken) SendDB_To_Screen();
  Setting_import_export::ShowImportOutcome(*ports_.messages, taken, SplitChosenPath(*path).name);
}

void Form1::menu_file_replay_Click() {
  replay_panel_->ChooseAndPlay();
}

}  // namespace telpod
