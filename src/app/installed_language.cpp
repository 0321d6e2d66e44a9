#include "app/installed_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include "platform/program_folder.h"

namespace telpod {

InstalledLanguage::InstalledLanguage(platform::Language language, const QString& folder)
    : scope_(lookup_) {
  const QString code = QString::fromLatin1(platform::LanguageCode(language));
  if (language != platform::Language::Japanese) {
    loaded_ = program_.load(QStringLiteral("telpod_") + code, folder) &&
              QCoreApplication::installTranslator(&program_);
  }
  if (qt_.load(QStringLiteral("qtbase_") + code,
               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&qt_);
  }
}

InstalledLanguage::~InstalledLanguage() {
  QCoreApplication::removeTranslator(&qt_);
  QCoreApplication::removeTranslator(&program_);
}

std::string InstalledLanguage::QtLookup::Translate(const platform::SourceText& source) const {
  return QCoreApplication::translate(source.context, source.text).toStdString();
}

QString TranslationsFolder() {
  return QString::fromStdString(platform::JoinPath(platform::ProgramFolder(), "translations"));
}

}  // namespace telpod
