#include "platform/built_in_english.h"

#include <algorithm>

namespace telpod::platform {

std::string BuiltInEnglish::Translate(const SourceText& source) const {
  const auto texts = EnglishTexts();
  const auto found = std::find_if(texts.begin(), texts.end(), [&](const TranslatedText& t) {
    return t.context == source.context && t.source == source.text;
  });
  return std::string(found == texts.end() ? std::string_view(source.text) : found->translation);
}

}  // namespace telpod::platform
