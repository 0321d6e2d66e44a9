#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/session_end.h"

int main(int argc, char* argv[]) {
  // Answered before Qt starts, so that they need no display.
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (const auto status = telpod::AnswerTerminalOptions(arguments, std::cout)) {
    return *status;
  }
  // Qt's own event dispatcher is lighter than glib's, and the send loop
  // runs it once per pass.
  qputenv("QT_NO_GLIB", "1");
  QApplication app(argc, argv);
  // Ties the window to the desktop entry (icon and name in the task bar).
  QGuiApplication::setDesktopFileName(QStringLiteral("jp.example.telpod"));
  telpod::Form1 window;
  if (!window.Form_Load()) return 0;
  // From here on the session's end closes the window and saves the rows.
  telpod::SessionEnd session_end(window);
  window.show();
  return app.exec();
}
