#include "app/session_end.h"

#include <QSocketNotifier>

#include "app/form1.h"

namespace telpod {

SessionEnd::SessionEnd(Form1& window) : window_(window) {
  if (!signals_.IsActive()) return;
  notifier_ = new QSocketNotifier(signals_.ReadFd(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SessionEnd::OnSignal);
}

void SessionEnd::OnSignal() {
  if (signals_.Take() != 0) window_.EndSession();
}

}  // namespace telpod
