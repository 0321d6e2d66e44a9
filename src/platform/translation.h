#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace telpod::platform {

// A text the user reads, as the program was written (Japanese), with the
// context its translation is filed under.
struct SourceText {
  const char* context;
  const char* text;
};

// Marks a text for the translation file (lupdate reads TELPOD_TEXT as
// QT_TRANSLATE_NOOP) and makes a SourceText of it.
#define TELPOD_TEXT(context, text) \
  ::telpod::platform::SourceText { \
    context, text                  \
  }

// Where the words of the user's language come from: Qt's translator in the
// window, the built-in table in programs without Qt.
class TextLookup {
 public:
  virtual ~TextLookup() = default;
  // The text in the user's language, or the source text when it has none.
  virtual std::string Translate(const SourceText& source) const = 0;
};

// Makes `lookup` the one that Tr asks, until the object dies. Without one,
// Tr gives the source texts.
class ScopedTextLookup {
 public:
  explicit ScopedTextLookup(const TextLookup& lookup);
  ~ScopedTextLookup();
  ScopedTextLookup(const ScopedTextLookup&) = delete;
  ScopedTextLookup& operator=(const ScopedTextLookup&) = delete;

 private:
  const TextLookup* previous_;
};

// `source` in the user's language, its %1..%9 replaced by `args`.
std::string Tr(const SourceText& source, std::initializer_list<std::string_view> args = {});

// Replaces %1..%9 by the matching argument in one pass, so an argument that
// itself holds "%2" stays as it is; a placeholder without an argument stays.
std::string FillPlaceholders(std::string_view pattern, std::span<const std::string_view> args);

}  // namespace telpod::platform
