#pragma once

#include <string>

#include "model/can_senddb.h"
#include "model/elm327_info.h"
#include "platform/window_services.h"

namespace telpod::Setting_import_export {

// Writes the send table as the settings workbook `folder` + `file_name`
// (folder ends in a separator; a folder that does not exist is replaced by
// the program folder), replacing an existing file, and tells the user the
// outcome. Does nothing while no workbook engine is present
// (ExcelInstallCheck 0).
void Export_XLS(ELM327_Info& device, const std::string& file_name, const std::string& folder,
                CAN_SendDB& SendDB, platform::MessageBoxes& messages);

}  // namespace telpod::Setting_import_export
