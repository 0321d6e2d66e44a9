// The exit statuses are written once, in the program: the manual page and
// the README must say the same, word for word.
#include "cli/exit_status.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/temp_folder.h"

namespace telpod {
namespace {

// The meaning the manual page gives a status: the lines after ".B <status>"
// up to the next request, joined, without groff's escapes.
std::string ManualMeaning(const std::string& page, std::string_view status) {
  const std::string tag = ".SH EXIT STATUS";
  const size_t section = page.find(tag);
  size_t at = page.find("\n.B " + std::string(status) + "\n", section);
  if (section == std::string::npos || at == std::string::npos) return "(missing)";
  at = page.find('\n', at + 1) + 1;
  std::string meaning;
  while (at < page.size() && page[at] != '.') {
    const size_t end = page.find('\n', at);
    meaning += (meaning.empty() ? "" : " ") + page.substr(at, end - at);
    at = end + 1;
  }
  return std::regex_replace(meaning, std::regex(R"(\\-)"), "-");
}

TEST(ExitStatuses, TheManualPageAndTheReadmeSayWhatTheProgramSays) {
  const std::string page = test::ReadFile(TELPOD_SOURCE_DIR "/packaging/telpod-send.1");
  const std::string readme = test::ReadFile(TELPOD_SOURCE_DIR "/README.md");
  ASSERT_FALSE(page.empty() || readme.empty());
  for (const auto& [status, meaning] : SendExitStatuses()) {
    EXPECT_EQ(ManualMeaning(page, status), meaning) << status;
    const std::string row = "| " + std::string(status) + " | " + std::string(meaning) + " |\n";
    EXPECT_NE(readme.find(row), std::string::npos) << row;
  }
}

}  // namespace
}  // namespace telpod
