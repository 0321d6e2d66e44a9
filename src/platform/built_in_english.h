#pragma once

#include <span>
#include <string_view>

#include "platform/translation.h"

namespace telpod::platform {

struct TranslatedText {
  std::string_view context;
  std::string_view source;
  std::string_view translation;
};

// Every English text of the translation file, compiled in at build time.
std::span<const TranslatedText> EnglishTexts();

// The English words for programs that have no Qt translator; the source
// text where the table has none.
class BuiltInEnglish final : public TextLookup {
 public:
  std::string Translate(const SourceText& source) const override;
};

}  // namespace telpod::platform
