#include "platform/language.h"

#include <cstdlib>

namespace telpod::platform {
namespace {

constexpr std::string_view kLanguageOption = "--lang";

// "ja_JP.UTF-8@euro" -> "ja"
std::string_view LanguagePart(std::string_view locale) {
  return locale.substr(0, locale.find_first_of("_.@"));
}

// The option's value: nullopt without the option, "" when it has none.
std::optional<std::string> LanguageOptionValue(const std::vector<std::string>& args) {
  std::optional<std::string> value;
  for (size_t k = 0; k < args.size(); ++k) {
    const std::string_view arg = args[k];
    if (arg == kLanguageOption) {
      value = k + 1 < args.size() ? args[++k] : "";
    } else if (arg.starts_with(kLanguageOption) && arg[kLanguageOption.size()] == '=') {
      value = std::string(arg.substr(kLanguageOption.size() + 1));
    }
  }
  return value;
}

}  // namespace

std::optional<Language> LanguageNamed(std::string_view name) {
  if (name == "ja") return Language::Japanese;
  if (name == "en") return Language::English;
  return std::nullopt;
}

const char* LanguageCode(Language language) {
  return language == Language::Japanese ? "ja" : "en";
}

Language LanguageOfLocale(std::string_view locale) {
  const std::string_view language = LanguagePart(locale);
  const bool no_language = language.empty() || language == "C" || language == "POSIX";
  return no_language || language == "ja" ? Language::Japanese : Language::English;
}

std::string MessagesLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return value;
  }
  return "";
}

std::optional<Language> ChooseLanguage(const std::vector<std::string>& args,
                                       std::string_view locale) {
  const auto value = LanguageOptionValue(args);
  return value ? LanguageNamed(*value) : LanguageOfLocale(locale);
}

}  // namespace telpod::platform
