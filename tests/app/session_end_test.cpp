#include "app/session_end.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <csignal>

#include "app/connection_area.h"
#include "started_window.h"

namespace telpod {
namespace {

// The session's end (a logout's SIGTERM, a lost terminal's SIGHUP) closes
// the window as its close box does: the rows are saved for the next start.
class SessionEndTest : public test::StartedWindow {
 protected:
  void StartWithARow() {
    ASSERT_TRUE(StartWith(platform::kCanusbLibraryFile));
    window->device.set_t_ViewCaution(0);
    window->show();
    window->findChild<QLineEdit*>(QStringLiteral("TB_ID_2"))->setText(QStringLiteral("1ABCDEF"));
    session_ = std::make_unique<SessionEnd>(*window);
    ASSERT_TRUE(session_->IsWatching());
  }
  // Lets events run until the window has gone, or gives up after a while.
  bool WindowCloses() {
    QDeadlineTimer deadline(10000);
    while (window->isVisible() && !deadline.hasExpired()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return !window->isVisible();
  }
  // The typed row as the next start shows it.
  QString RowAtTheNextStart() {
    window.reset();
    EXPECT_TRUE(Start());
    return window->findChild<QLineEdit*>(QStringLiteral("TB_ID_2"))->text();
  }

  std::unique_ptr<SessionEnd> session_;
};

TEST_F(SessionEndTest, AnIdleWindowClosesAndTheNextStartShowsTheRows) {
  StartWithARow();
  std::raise(SIGTERM);
  ASSERT_TRUE(WindowCloses());
  EXPECT_EQ(RowAtTheNextStart(), "1ABCDEF");
}

TEST_F(SessionEndTest, ARunningConnectionEndsFirst) {
  StartWithARow();
  QTimer::singleShot(100, window.get(), [&] { std::raise(SIGTERM); });
  window->connectionArea()->Bt_Connect->click();  // returns once the loop has stopped
  EXPECT_EQ(window->RxFlag, 0);
  ASSERT_TRUE(WindowCloses());
  EXPECT_EQ(RowAtTheNextStart(), "1ABCDEF");
}

}  // namespace
}  // namespace telpod
