#pragma once

#include <string>

#include "platform/translation.h"
#include "platform/window_services.h"

namespace telpod::Setting_import_export {

// Tells the user how an export went, titled "設定 Export": `done` or the
// failure, then the file name. Never throws: the file's fate is settled.
void ShowExportOutcome(platform::MessageBoxes& messages, bool written,
                       const platform::SourceText& done, const std::string& file_name) noexcept;

}  // namespace telpod::Setting_import_export
