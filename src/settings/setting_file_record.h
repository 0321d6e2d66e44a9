#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "model/can_senddb.h"
#include "model/elm327_info.h"

// The one record config.dat holds, from its first byte: the title and the
// maker caption, the format number, the common settings, the eight rows'
// stored fields by column, and the import/export folder. Little-endian, no
// padding; each text is a 16-bit byte count and that many CP932 bytes.
namespace telpod::SettingFileRecord {

// The record's length without its three texts' bytes.
inline constexpr size_t kFixedBytes = 238;
// The longest record there can be: every text at its 16-bit limit.
inline constexpr size_t kMaxBytes = kFixedBytes + 3 * 0xFFFF;

// The record for these values; nullopt when a text does not fit its count.
std::optional<std::string> Bytes(const ELM327_Info& device, const CAN_SendDB& Tx_CANDATA);

enum class Outcome {
  Taken,    // ours: the settings, the rows and the folder were taken over
  Foreign,  // another writer (or too short to tell): nothing taken over
  Damaged,  // ours, but it ends inside the record: nothing taken over
};

// Reads a record from the start of `bytes` (bytes past it are ignored). Our
// own record (same caption, title and format number as `device`) is taken
// over whole, each row number by its field's range (an identifier, length
// or period outside it takes the field's default), the switches and the
// common settings as stored; otherwise nothing changes.
Outcome Take(std::string_view bytes, ELM327_Info& device, CAN_SendDB& Tx_CANDATA);

}  // namespace telpod::SettingFileRecord
