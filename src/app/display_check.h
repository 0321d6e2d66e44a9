#pragma once

#include <QString>
#include <QtGlobal>
#include <string>
#include <vector>

namespace telpod {

// The one line telpod ends with when there is no display to open its window
// on.
inline constexpr const char* kNoDisplayLine =
    "telpod: no display to open the window on; telpod-send sends the rows without one "
    "(telpod-send --help)\n";

// True when Qt has a display to try: a platform chosen (QT_QPA_PLATFORM,
// -platform) or an X or Wayland display named (DISPLAY, WAYLAND_DISPLAY).
bool DisplayNamed(const std::vector<std::string>& arguments);

// Watches QApplication's start while it lives. When Qt finds no display
// after all (a DISPLAY that does not answer), it would abort with a core
// dump; instead the program ends with kNoDisplayLine and status 1. Qt's
// other messages meanwhile are held and passed on when the guard dies.
class DisplayGuard {
 public:
  DisplayGuard();
  ~DisplayGuard();
  DisplayGuard(const DisplayGuard&) = delete;
  DisplayGuard& operator=(const DisplayGuard&) = delete;

 private:
  struct Held {
    QtMsgType type;
    std::string file;
    int line;
    std::string function;
    std::string category;
    QString text;
  };
  static void HoldOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text);

  QtMessageHandler previous_;
  std::vector<Held> held_;
};

}  // namespace telpod
