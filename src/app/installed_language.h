#pragma once

#include <QString>
#include <QTranslator>

#include "platform/language.h"
#include "platform/translation.h"

namespace telpod {

// The user's language for every text the program shows: Qt's translators
// for the windows, and the same words for the texts the engine composes.
// Japanese, the language the program is written in, needs no translation of
// its own. Made once, before the first window, and kept for the whole run.
class InstalledLanguage {
 public:
  InstalledLanguage(platform::Language language, const QString& folder);
  ~InstalledLanguage();
  InstalledLanguage(const InstalledLanguage&) = delete;
  InstalledLanguage& operator=(const InstalledLanguage&) = delete;

  // False when the translation was not found: the texts stay Japanese.
  bool loaded() const { return loaded_; }

 private:
  // The engine's texts through the translators installed in Qt.
  class QtLookup final : public platform::TextLookup {
   public:
    std::string Translate(const platform::SourceText& source) const override;
  };

  QTranslator program_;
  QTranslator qt_;  // Qt's own dialogs and buttons, where Qt has the words
  bool loaded_ = true;
  QtLookup lookup_;
  platform::ScopedTextLookup scope_;
};

// <program folder>/translations: beside the program in the build tree, in
// the program folder when installed.
QString TranslationsFolder();

}  // namespace telpod
