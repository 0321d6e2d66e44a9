#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telpod::platform {

// The languages the program speaks. Japanese is the one it was written in;
// every other one comes from a translation.
enum class Language { Japanese, English };

// "ja" or "en"; nullopt for any other name.
std::optional<Language> LanguageNamed(std::string_view name);

// Short name of a language, as in the translation files' names.
const char* LanguageCode(Language language);

// Japanese for a Japanese locale ("ja_JP.UTF-8") and for one that names no
// language ("C", "POSIX", "C.UTF-8", ""); English for any other.
Language LanguageOfLocale(std::string_view locale);

// The locale the user reads messages in: LC_ALL, else LC_MESSAGES, else LANG.
std::string MessagesLocale();

// The language of this run: "--lang ja|en" (or "--lang=en") among `args`
// wins over `locale`; nullopt when the option names no language we speak.
std::optional<Language> ChooseLanguage(const std::vector<std::string>& args,
                                       std::string_view locale);

}  // namespace telpod::platform
