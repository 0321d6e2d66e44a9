#include "settings/row_rules_file.h"

#include <cerrno>
#include <fstream>

#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "platform/translation.h"
#include "platform/user_folders.h"
#include "platform/window_services.h"
#include "settings/row_rules_json.h"
#include "settings/settings_folder_save.h"

namespace telpod::RowRulesFile {
namespace {

// Far more than eight rows' rules ever take; a larger file is not ours.
constexpr size_t kMaxBytes = 64 * 1024;

Outcome Damaged(size_t line, std::string reason) {
  return {Outcome::Kind::Damaged, line, std::move(reason)};
}

}  // namespace

std::string Path() {
  return platform::JoinPath(platform::SettingsFolder(), "rules.json");
}

Outcome Load(const std::string& path, RowRules& rules) {
  try {
    if (!platform::FileExists(path)) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) return Damaged(0, platform::SystemErrorText(errno));
    std::string text(kMaxBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) return Damaged(0, platform::SystemErrorText(errno));
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxBytes) {
      return Damaged(0, platform::Tr(TELPOD_TEXT("RowRulesFile", "ファイルが大きすぎます。")));
    }
    if (const auto refusal = RowRulesJson::Read(text, rules)) {
      return Damaged(refusal->line, RowRulesJson::ReasonText(*refusal));
    }
    return {Outcome::Kind::Read, 0, {}};
  } catch (...) {
    return Damaged(0, platform::Tr(TELPOD_TEXT("SettingFile", "予期しないエラーが発生しました。")));
  }
}

std::string DamagedMessage(const std::string& path, const Outcome& outcome) {
  const std::string where =
      outcome.line > 0
          ? platform::Tr(
                TELPOD_TEXT("RowRulesFile", "行の規則のファイル %1 の %2 行目を読めません：%3"),
                {path, std::to_string(outcome.line), outcome.reason})
          : platform::Tr(TELPOD_TEXT("RowRulesFile", "行の規則のファイル %1 を読めません：%2"),
                         {path, outcome.reason});
  return where + platform::kCrLf +
         platform::Tr(TELPOD_TEXT(
             "RowRulesFile",
             "どの行も規則なしで送ります。ファイルは、規則を変えるまでそのまま残します。"));
}

int32_t Save(const RowRules& rules, std::string& reason) {
  return SaveInSettingsFolder(
      Path, [&](std::string&) { return std::optional<std::string>(RowRulesJson::Text(rules)); },
      reason);
}

}  // namespace telpod::RowRulesFile
