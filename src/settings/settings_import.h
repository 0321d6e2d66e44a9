#pragma once

#include <cstdint>
#include <string>

#include "model/can_senddb.h"
#include "model/elm327_info.h"
#include "platform/window_services.h"
#include "settings/import_report.h"

// The import menu's course once a file is chosen, shared by every program
// that reads rows from an exported file.
namespace telpod::Setting_import_export {

// A chosen path as the routines take it: the folder, keeping its trailing
// separator ("" for a bare name), and the bare file name.
struct ChosenFile {
  std::string folder;
  std::string name;
};
ChosenFile SplitChosenPath(const std::string& path);

// True when the import reads files of the kind `path` names: ".csv" or
// ".xls", in either letter case.
bool IsImportableKind(const std::string& path);

// Reads the rows of the file at `path` into the send table: ".csv" by
// Import_CSV, ".xls" by Import_XLS (either letter case), the file's folder
// becoming t_setting_file_path; any other kind is refused untouched. 1 when
// rows were taken, 0 otherwise. Shows no message; `report`, when given,
// learns what the reader met (see ImportReport).
int32_t Import_Settings_File(ELM327_Info& device, const std::string& path, CAN_SendDB& SendDB,
                             ImportReport* report = nullptr);

// Tells the user how an import went, titled "設定 import": that it was done
// or that it failed, then the file name. Never throws.
void ShowImportOutcome(platform::MessageBoxes& messages, bool taken,
                       const std::string& file_name) noexcept;

}  // namespace telpod::Setting_import_export
