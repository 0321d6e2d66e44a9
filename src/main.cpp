#include <QApplication>

#include "app/form1.h"
#include "app/session_end.h"

int main(int argc, char* argv[]) {
  // Qt's own event dispatcher is lighter than glib's, and the send loop
  // runs it once per pass.
  qputenv("QT_NO_GLIB", "1");
  QApplication app(argc, argv);
  telpod::Form1 window;
  if (!window.Form_Load()) return 0;
  // From here on the session's end closes the window and saves the rows.
  telpod::SessionEnd session_end(window);
  window.show();
  return app.exec();
}
