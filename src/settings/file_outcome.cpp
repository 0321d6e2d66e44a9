#include "settings/file_outcome.h"

namespace telpod::Setting_import_export {

void ShowFileOutcome(platform::MessageBoxes& messages, const FileOutcomeTexts& texts,
                     bool succeeded, const std::string& file_name) noexcept {
  try {
    const std::string text = platform::Tr(succeeded ? texts.done : texts.failed);
    messages.Show(text + platform::kCrLf + file_name, platform::Tr(texts.title),
                  succeeded ? platform::MessageIcon::None : platform::MessageIcon::Critical);
  } catch (...) {
    // The box could not be shown; the file's fate is already settled.
  }
}

}  // namespace telpod::Setting_import_export
