#include "settings/file_save_system.h"

#include <fstream>

#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "platform/translation.h"
#include "platform/user_folders.h"
#include "settings/setting_file_record.h"
#include "settings/settings_folder_save.h"

namespace telpod::FileSaveSystem {
namespace {

// The reader never looks past the longest possible record, so an oversized
// file costs no more than that.
bool ReadRecordBytes(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.resize(SettingFileRecord::kMaxBytes);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return false;
  bytes.resize(static_cast<size_t>(in.gcount()));
  return true;
}

// Takes the record at `path` over; kForeign leaves the file to the caller.
int32_t ReadSettingFileAt(const std::string& path, ELM327_Info& device, CAN_SendDB& Tx_CANDATA) {
  if (!platform::FileExists(path)) return kNotLoaded;
  std::string bytes;
  if (!ReadRecordBytes(path, bytes)) return kNotLoaded;
  switch (SettingFileRecord::Take(bytes, device, Tx_CANDATA)) {
    case SettingFileRecord::Outcome::Taken:
      return kLoaded;
    case SettingFileRecord::Outcome::Damaged:
      return kNotLoaded;
    case SettingFileRecord::Outcome::Foreign:
      return kForeign;
  }
  return kNotLoaded;
}

}  // namespace

std::string SettingFilePath() {
  return platform::JoinPath(platform::SettingsFolder(), "config.dat");
}

int32_t Load_SettingFile(ELM327_Info& device, CAN_SendDB& Tx_CANDATA) {
  try {
    const std::string path = SettingFilePath();
    platform::RemoveStaleTemporaryFiles(path);
    const int32_t result = ReadSettingFileAt(path, device, Tx_CANDATA);
    if (result != kForeign) return result;
    // Still there means not deleted: that is a plain failure.
    return platform::DeleteFileForced(path) ? kForeignDeleted : kNotLoaded;
  } catch (...) {
    return kNotLoaded;
  }
}

int32_t Read_SettingFile(ELM327_Info& device, CAN_SendDB& Tx_CANDATA) {
  try {
    return ReadSettingFileAt(SettingFilePath(), device, Tx_CANDATA);
  } catch (...) {
    return kNotLoaded;
  }
}

int32_t Save_SettingFile(const ELM327_Info& device, const CAN_SendDB& Tx_CANDATA,
                         std::string& reason) {
  return SaveInSettingsFolder(
      SettingFilePath,
      [&](std::string& why) {
        auto bytes = SettingFileRecord::Bytes(device, Tx_CANDATA);
        if (!bytes) why = platform::Tr(TELPOD_TEXT("SettingFile", "保存する文字列が長すぎます。"));
        return bytes;
      },
      reason);
}

int32_t Save_SettingFile(const ELM327_Info& device, const CAN_SendDB& Tx_CANDATA) {
  std::string reason;
  return Save_SettingFile(device, Tx_CANDATA, reason);
}

}  // namespace telpod::FileSaveSystem
