#pragma once

#include <string>

#include "platform/translation.h"
#include "platform/window_services.h"

namespace telpod::Setting_import_export {

// The box that tells how an import or export of `file_name` went, titled
// `title`: `done` without an icon, or `failed` with the critical one, the
// file name on the second line. Never throws: the file's fate is settled.
struct FileOutcomeTexts {
  platform::SourceText title;
  platform::SourceText done;
  platform::SourceText failed;
};
void ShowFileOutcome(platform::MessageBoxes& messages, const FileOutcomeTexts& texts,
                     bool succeeded, const std::string& file_name) noexcept;

}  // namespace telpod::Setting_import_export
