#pragma once

#include <cstddef>
#include <string_view>

#include "settings/settings_file_identity.h"

// What the CSV writer and reader share.
namespace telpod::Setting_import_export {

// The column header line of a CSV file; the first line holding "No" heads
// the row lines when reading.
inline constexpr std::string_view kCsvHeader =
    " No , E ,    ID    ,DLC, D1 , D2 , D3 , D4 , D5 , D6 , D7 , D8 ,時間[ms],定期 ";
inline constexpr std::string_view kCsvHeaderKey = "No";

// The longest line a reader takes, in bytes: a row line as written is
// under 100, and room is left for blanks typed into its fields. A longer
// line makes the file no rows file.
inline constexpr size_t kLongestCsvLine = 4096;

// Line end between the lines of a written CSV file (none after the last).
inline constexpr std::string_view kCsvLineEnd = "\r\n";

}  // namespace telpod::Setting_import_export
