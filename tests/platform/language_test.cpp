#include "platform/language.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "support/scoped_environment.h"

namespace telpod::platform {
namespace {

constexpr auto J = Language::Japanese;
constexpr auto E = Language::English;

TEST(Language, FollowsTheLocaleJapaneseWhenItNamesNoLanguage) {
  const std::vector<std::pair<std::string, Language>> cases = {
      {"ja_JP.UTF-8", J}, {"ja", J},       {"ja_JP.eucJP", J}, {"ja_JP@cjk", J},
      {"C", J},           {"POSIX", J},    {"C.UTF-8", J},     {"", J},
      {"en_US.UTF-8", E}, {"en", E},       {"de_DE@euro", E},  {"zh_CN.GB18030", E},
      {"jv_ID", E},       {"japanese", E}, {"Cz", E},
  };
  for (const auto& [locale, language] : cases) {
    EXPECT_EQ(LanguageOfLocale(locale), language) << locale;
  }
}

TEST(Language, TheOptionWinsOverTheLocaleAndABadNameIsRefused) {
  struct Case {
    std::vector<std::string> args;
    std::string locale;
    std::optional<Language> chosen;
  };
  const std::vector<Case> cases = {
      {{}, "de_DE.UTF-8", E},
      {{}, "ja_JP.UTF-8", J},
      {{"--lang", "ja"}, "de_DE.UTF-8", J},
      {{"--lang=en"}, "ja_JP.UTF-8", E},
      {{"--lang", "en"}, "C", E},
      {{"-platform", "offscreen", "--lang", "en"}, "ja_JP", E},
      {{"--lang", "en", "--lang", "ja"}, "C", J},  // the last one counts
      {{"--language", "en"}, "C", J},              // not our option
      {{"--lang", "fr"}, "ja_JP", std::nullopt},
      {{"--lang", "EN"}, "ja_JP", std::nullopt},
      {{"--lang"}, "ja_JP", std::nullopt},
      {{"--lang="}, "en_US", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseLanguage(c.args, c.locale), c.chosen)
        << ::testing::PrintToString(c.args) << " " << c.locale;
  }
}

TEST(Language, NamesAndCodesGoBothWays) {
  for (const Language language : {J, E}) {
    EXPECT_EQ(LanguageNamed(LanguageCode(language)), language);
  }
  EXPECT_EQ(LanguageNamed("de"), std::nullopt);
}

TEST(Language, MessagesLocaleTakesLcAllThenLcMessagesThenLang) {
  using Value = std::optional<std::string>;
  const std::tuple<Value, Value, Value, std::string> cases[] = {
      {"de_DE", "ja_JP", "en_US", "de_DE"},
      {"", "ja_JP", "en_US", "ja_JP"},
      {std::nullopt, std::nullopt, "en_US.UTF-8", "en_US.UTF-8"},
      {std::nullopt, "", "", ""},
      {std::nullopt, std::nullopt, std::nullopt, ""},
  };
  for (const auto& [all, messages, lang, locale] : cases) {
    const test::ScopedEnvironment a("LC_ALL", all), m("LC_MESSAGES", messages), l("LANG", lang);
    EXPECT_EQ(MessagesLocale(), locale);
  }
}

}  // namespace
}  // namespace telpod::platform
