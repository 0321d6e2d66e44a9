#pragma once

#include <string>
#include <string_view>

// What the exported settings files share between writer and reader.
namespace telpod::Setting_import_export {

// The second line of an exported file: with the title key it marks a file
// as one of ours.
inline constexpr std::string_view kSettingFileMarker = "設定ファイル";

// The column header line of a CSV file; the first line holding "No" heads
// the row lines when reading.
inline constexpr std::string_view kCsvHeader =
    " No , E ,    ID    ,DLC, D1 , D2 , D3 , D4 , D5 , D6 , D7 , D8 ,時間[ms],定期 ";
inline constexpr std::string_view kCsvHeaderKey = "No";

// Line end between the lines of a written CSV file (none after the last).
inline constexpr std::string_view kCsvLineEnd = "\r\n";

// The first ten characters (not bytes) of the title, which an exported file
// must contain: "TELPOD Ver" for "TELPOD Ver1.11".
std::string TitleKey(std::string_view Application_title);

}  // namespace telpod::Setting_import_export
