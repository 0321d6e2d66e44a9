#pragma once

#include <string>
#include <string_view>

// How an exported settings file (CSV or workbook) shows it is one of ours.
namespace telpod::Setting_import_export {

// The marker text every exported file carries.
inline constexpr std::string_view kSettingFileMarker = "設定ファイル";

// The first ten characters (not bytes) of the title, which an exported file
// must contain: "TELPOD Ver" for "TELPOD Ver1.11".
std::string TitleKey(std::string_view Application_title);

}  // namespace telpod::Setting_import_export
