#pragma once

#include <QObject>

#include "platform/termination_signals.h"

class QSocketNotifier;

namespace telpod {

class Form1;

// Closes the main window in order when the session asks the program to end
// (SIGTERM, SIGHUP), so that the rows are saved as at any close.
class SessionEnd : public QObject {
  Q_OBJECT

 public:
  explicit SessionEnd(Form1& window);

  // False when the signals could not be caught; they then end the program
  // as they always do.
  bool IsWatching() const { return signals_.IsActive(); }

 private:
  void OnSignal();

  Form1& window_;
  platform::TerminationSignals signals_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace telpod
