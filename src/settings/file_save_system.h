#pragma once

#include <cstdint>
#include <string>

#include "model/can_senddb.h"
#include "model/elm327_info.h"

// config.dat: the rows and the common settings kept from one run to the next,
// beside the program while the user may write its folder, else in the user's
// configuration folder. Neither routine shows a message or throws.
namespace telpod::FileSaveSystem {

// The settings file's full path.
std::string SettingFilePath();

// Results of Load_SettingFile. kFailedAfterTaking is part of the contract,
// but this reader takes values over only once nothing can fail any more.
inline constexpr int32_t kLoaded = 0;
inline constexpr int32_t kNotLoaded = -1;  // no file, unreadable, or ours but cut short (kept)
inline constexpr int32_t kForeignDeleted = -2;
inline constexpr int32_t kFailedAfterTaking = -3;
// Read_SettingFile: another program's or version's file, left as it is.
inline constexpr int32_t kForeign = -4;

// Takes the stored settings and rows over when config.dat is this program's
// own (same maker caption, title and format number); a file of another
// program or version, or one too short to tell, is deleted even when
// read-only, and `device` and `Tx_CANDATA` keep their values. Temporary
// files that a save cut short by a crash left beside it are removed first.
int32_t Load_SettingFile(ELM327_Info& device, CAN_SendDB& Tx_CANDATA);

// Takes the stored settings and rows over as Load_SettingFile does, but
// changes no file: a foreign file is kForeign and stays, and no temporary
// file is removed, since a window may be saving beside it right now.
int32_t Read_SettingFile(ELM327_Info& device, CAN_SendDB& Tx_CANDATA);

// Writes config.dat, replacing the old file atomically (a link's target, a
// file's permission bits kept) and making the configuration folder on the
// first save: 0 written, -1 failed with the old file left whole (read-only
// files included, and also when there is no folder to write into) and
// `reason` saying why, in the user's language.
int32_t Save_SettingFile(const ELM327_Info& device, const CAN_SendDB& Tx_CANDATA,
                         std::string& reason);
int32_t Save_SettingFile(const ELM327_Info& device, const CAN_SendDB& Tx_CANDATA);

}  // namespace telpod::FileSaveSystem
