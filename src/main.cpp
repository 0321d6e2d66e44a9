#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/installed_language.h"
#include "platform/language.h"

int main(int argc, char* argv[]) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto language = telpod::platform::ChooseLanguage(args, telpod::platform::MessagesLocale());
  if (!language) {
    std::fputs("telpod: --lang takes ja or en\n", stderr);
    return 2;
  }
  // Qt's own event dispatcher is lighter than glib's, and the send loop
  // runs it once per pass.
  qputenv("QT_NO_GLIB", "1");
  QApplication app(argc, argv);
  const telpod::InstalledLanguage installed(*language, telpod::TranslationsFolder());
  if (!installed.loaded()) {
    std::fprintf(stderr, "telpod: no %s translation in %s; the texts stay Japanese\n",
                 telpod::platform::LanguageCode(*language),
                 telpod::TranslationsFolder().toLocal8Bit().constData());
  }
  telpod::Form1 window;
  if (!window.Form_Load()) return 0;
  window.show();
  return app.exec();
}
