#include <QApplication>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/display_check.h"
#include "app/form1.h"
#include "app/installed_language.h"
#include "app/session_end.h"
#include "platform/language.h"

int main(int argc, char* argv[]) {
  // Answered before Qt starts, so that they need no display.
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (const auto status = telpod::AnswerTerminalOptions(arguments, std::cout)) {
    return *status;
  }
  const auto language =
      telpod::platform::ChooseLanguage(arguments, telpod::platform::MessagesLocale());
  if (!language) {
    std::fputs("telpod: --lang takes ja or en\n", stderr);
    return 2;
  }
  if (!telpod::DisplayNamed(arguments)) {
    std::fputs(telpod::kNoDisplayLine, stderr);
    return 1;
  }
  // Qt's own event dispatcher is lighter than glib's, and the send loop
  // runs it once per pass.
  qputenv("QT_NO_GLIB", "1");
  std::optional<telpod::DisplayGuard> display_guard(std::in_place);
  QApplication app(argc, argv);
  display_guard.reset();
  // Ties the window to the desktop entry (icon and name in the task bar).
  QGuiApplication::setDesktopFileName(QStringLiteral("jp.example.telpod"));
  const telpod::InstalledLanguage installed(*language, telpod::TranslationsFolder());
  if (!installed.loaded()) {
    std::fprintf(stderr, "telpod: no %s translation in %s; the texts stay Japanese\n",
                 telpod::platform::LanguageCode(*language),
                 telpod::TranslationsFolder().toLocal8Bit().constData());
  }
  telpod::Form1 window;
  if (!window.Form_Load()) return 0;
  // From here on the session's end closes the window and saves the rows.
  telpod::SessionEnd session_end(window);
  window.show();
  return app.exec();
}
