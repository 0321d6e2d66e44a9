#include "platform/language.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

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
    std::string shown;
    for (const auto& a : c.args) shown += a + " ";
    EXPECT_EQ(ChooseLanguage(c.args, c.locale), c.chosen) << shown << "/ " << c.locale;
  }
}

TEST(Language, NamesAndCodesGoBothWays) {
  for (const Language language : {J, E}) {
    EXPECT_EQ(LanguageNamed(LanguageCode(language)), language);
  }
  EXPECT_EQ(LanguageNamed("de"), std::nullopt);
}

// Sets the three locale variables for one test and puts them back.
class ScopedLocaleEnvironment {
 public:
  explicit ScopedLocaleEnvironment(const std::map<std::string, std::string>& values) {
    for (const char* name : kNames) {
      if (const char* old = std::getenv(name)) saved_[name] = old;
      const auto value = values.find(name);
      if (value == values.end()) {
        unsetenv(name);
      } else {
        setenv(name, value->second.c_str(), 1);
      }
    }
  }
  ~ScopedLocaleEnvironment() {
    for (const char* name : kNames) {
      const auto old = saved_.find(name);
      if (old == saved_.end()) {
        unsetenv(name);
      } else {
        setenv(name, old->second.c_str(), 1);
      }
    }
  }

 private:
  static constexpr const char* kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::map<std::string, std::string> saved_;
};

TEST(Language, MessagesLocaleTakesLcAllThenLcMessagesThenLang) {
  const std::vector<std::pair<std::map<std::string, std::string>, std::string>> cases = {
      {{{"LC_ALL", "de_DE"}, {"LC_MESSAGES", "ja_JP"}, {"LANG", "en_US"}}, "de_DE"},
      {{{"LC_ALL", ""}, {"LC_MESSAGES", "ja_JP"}, {"LANG", "en_US"}}, "ja_JP"},
      {{{"LANG", "en_US.UTF-8"}}, "en_US.UTF-8"},
      {{{"LC_MESSAGES", ""}, {"LANG", ""}}, ""},
      {{}, ""},
  };
  for (const auto& [environment, locale] : cases) {
    ScopedLocaleEnvironment scope(environment);
    EXPECT_EQ(MessagesLocale(), locale);
  }
}

}  // namespace
}  // namespace telpod::platform
