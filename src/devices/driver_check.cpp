#include "devices/driver_check.h"

#include <vector>

#include "devices/family_registry.h"
#include "platform/driver_folders.h"
#include "platform/program_folder.h"

namespace telpod {

namespace {

// "a", "a もしくは b", "a、b もしくは c".
std::string EitherOf(const std::vector<std::string>& names) {
  std::string text;
  for (size_t k = 0; k < names.size(); ++k) {
    if (k > 0) {
      text += k + 1 == names.size() ? platform::Tr(TELPOD_TEXT("Startup", " もしくは "))
                                    : platform::Tr(TELPOD_TEXT("Startup", "、"));
    }
    text += names[k];
  }
  return text;
}

// No family can run: each library found but unusable is named with the
// loader's reason; the missing ones as not found, with where the first
// belongs.
std::string NoDriverMessage(const std::vector<DriverReport>& reports) {
  const std::string crlf = platform::kCrLf;
  std::string text;
  std::vector<std::string> missing;
  for (const auto& report : reports) {
    if (!report.found) {
      missing.emplace_back(report.file);
    } else {
      text += platform::Tr(TELPOD_TEXT("Startup", "%1 を使用できません。"), {report.file}) + crlf +
              report.reason + crlf;
    }
  }
  if (!missing.empty()) {
    text += platform::Tr(TELPOD_TEXT("Startup", "%1 が見つかりません。"), {EitherOf(missing)}) +
            crlf + platform::JoinPath(platform::DriverFolders().front(), missing.front()) + crlf +
            platform::Tr(TELPOD_TEXT("Startup", "ドライバがインストールされていません。")) + crlf;
  }
  return text + platform::Tr(startup_text::kEndApplication);
}

// The program runs on without them; whoever started it learns why.
void NoteUnusableLibraries(const std::vector<DriverReport>& reports, std::ostream& notes,
                           std::string_view program) {
  for (const auto& report : reports) {
    if (report.found && !report.loaded) {
      notes << program << ": " << report.file << " not used: " << report.reason << '\n';
    }
  }
}

}  // namespace

std::string StartupStopMessage(const platform::SourceText& first_line) {
  return platform::Tr(first_line) + platform::kCrLf + platform::Tr(startup_text::kEndApplication);
}

std::string ClockLibraryMissingMessage() {
  const std::string_view file = platform::kClockLibraryFile;
  return platform::Tr(TELPOD_TEXT("Startup", "%1 が見つかりません。"), {file}) + platform::kCrLf +
         platform::Tr(TELPOD_TEXT("Startup", "%1 は同梱のものを使用してください。"), {file}) +
         platform::kCrLf + platform::Tr(startup_text::kEndApplication);
}

int32_t Check_DriverLibraries(FamilySet& families, platform::MessageBoxes& messages,
                              const std::string& title, std::ostream& notes,
                              std::string_view program) {
  // A library that is present but cannot be used leaves its family out;
  // the others go on.
  const auto reports = families.drivers.LoadAll();
  int32_t mask = 0;
  for (size_t row = 0; row < families.size(); ++row) {
    if (families.at(row).Present()) mask |= DriverMaskBit(FamilyOfRow(row));
  }
  if (mask == 0) {
    messages.Show(NoDriverMessage(reports), title, platform::MessageIcon::Critical);
    return -1;
  }
  NoteUnusableLibraries(reports, notes, program);
  return mask;
}

}  // namespace telpod
