#pragma once

#include <cstdint>
#include <string>

#include "model/can_senddb.h"
#include "model/elm327_info.h"

// config.dat in the program folder: the rows and the common settings kept
// from one run to the next. Neither routine shows a message or throws.
namespace telpod::FileSaveSystem {

// The settings file's full path.
std::string SettingFilePath();

// Results of Load_SettingFile. kFailedAfterTaking is part of the contract,
// but this reader takes values over only once nothing can fail any more.
inline constexpr int32_t kLoaded = 0;
inline constexpr int32_t kNotLoaded = -1;  // no file, unreadable, or ours but cut short (kept)
inline constexpr int32_t kForeignDeleted = -2;
inline constexpr int32_t kFailedAfterTaking = -3;

// Takes the stored settings and rows over when config.dat is this program's
// own (same maker caption, title and format number); a file of another
// program or version, or one too short to tell, is deleted even when
// read-only, and `device` and `Tx_CANDATA` keep their values.
int32_t Load_SettingFile(ELM327_Info& device, CAN_SendDB& Tx_CANDATA);

// Writes config.dat, replacing the old file atomically: 0 written (or no
// program folder to write into), -1 failed with the old file left whole and
// `reason` saying why, in the user's language.
int32_t Save_SettingFile(const ELM327_Info& device, const CAN_SendDB& Tx_CANDATA,
                         std::string& reason);
int32_t Save_SettingFile(const ELM327_Info& device, const CAN_SendDB& Tx_CANDATA);

}  // namespace telpod::FileSaveSystem
