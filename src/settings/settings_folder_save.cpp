#include "settings/settings_folder_save.h"

#include <cerrno>

#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/translation.h"
#include "platform/user_folders.h"

namespace telpod {

int32_t SaveInSettingsFolder(std::string (*path)(), const BytesToSave& bytes, std::string& reason) {
  try {
    if (!platform::MakeSettingsFolder()) {
      reason =
          platform::Tr(TELPOD_TEXT("SettingFile", "設定を保存するフォルダーを作れませんでした。"));
      return -1;
    }
    const std::optional<std::string> content = bytes(reason);
    if (!content) return -1;
    if (platform::ReplaceFileAtomically(path(), *content)) return 0;
    reason = platform::SystemErrorText(errno);
    return -1;
  } catch (...) {
    try {
      reason = platform::Tr(TELPOD_TEXT("SettingFile", "予期しないエラーが発生しました。"));
    } catch (...) {
      // Out of memory even for the reason: the result alone tells the failure.
    }
    return -1;
  }
}

}  // namespace telpod
