#include "cli/rows_source.h"

#include "platform/file_system.h"
#include "settings/file_save_system.h"
#include "settings/settings_import.h"

namespace telpod {

namespace {

// Why config.dat was not taken, and what the run goes on with instead.
std::string NotReadNote(int32_t result, bool rows_from_file) {
  const std::string path = FileSaveSystem::SettingFilePath();
  const std::string instead = rows_from_file ? ": the default bit rate is used"
                                             : ": the default rows and bit rate are used";
  if (result == FileSaveSystem::kForeign) {
    return path + " belongs to another program or version" + instead;
  }
  return (platform::FileExists(path) ? path + " could not be read" : "there is no " + path) +
         instead;
}

// Why the window's import would fail on `path`, in a line of its own.
std::string ImportFailureCause(const std::string& path) {
  if (!platform::FileExists(path)) return "there is no file " + path;
  if (!Setting_import_export::IsImportableKind(path)) {
    return "rows are read from .csv and .xls files only";
  }
  return path + " is no settings file exported by TELPOD, or it holds no row";
}

bool ImportRows(ELM327_Info& device, CAN_SendDB& SendDB, const std::string& path,
                TerminalMessages& messages) {
  CAN_SendDB imported;
  if (Setting_import_export::Import_Settings_File(device, path, imported) != 1) {
    Setting_import_export::ShowImportOutcome(messages, false, path);
    messages.Say(ImportFailureCause(path));
    return false;
  }
  SendDB = imported;
  return true;
}

}  // namespace

bool TakeRows(ELM327_Info& device, CAN_SendDB& SendDB, const std::optional<std::string>& rows_file,
              TerminalMessages& messages) {
  const int32_t result = FileSaveSystem::Read_SettingFile(device, SendDB);
  if (result != FileSaveSystem::kLoaded) messages.Say(NotReadNote(result, rows_file.has_value()));
  return !rows_file || ImportRows(device, SendDB, *rows_file, messages);
}

void SwitchPeriodicRowsOff(CAN_SendDB& SendDB) {
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) SendDB.set_CAN_SendCycleOperation(i, 0);
}

bool AnyPeriodicRow(const CAN_SendDB& SendDB) {
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    if (SendDB.CAN_SendCycleOperation(i) == 1) return true;
  }
  return false;
}

}  // namespace telpod
