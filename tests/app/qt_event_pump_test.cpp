#include <gtest/gtest.h>

#include <QObject>
#include <QTimer>
#include <chrono>
#include <thread>

#include "app/qt_window_ports.h"

namespace telpod {
namespace {

using std::chrono::steady_clock;
using namespace std::chrono_literals;

TEST(QtEventPump, AWaitSleepsToItsDeadlineInAFewCallsNotAMillion) {
  QtEventPump pump;
  const platform::Deadline deadline = steady_clock::now() + 20ms;
  int calls = 0;
  while (steady_clock::now() < deadline && calls < 1000) {
    pump.WaitUntil(deadline);
    ++calls;
  }
  EXPECT_LT(calls, 1000);  // a pump that only ran events would spin through the 20 ms
  pump.WaitUntil(steady_clock::now() - 1h);  // a past deadline returns at once
}

// An event posted from another thread, and a window timer, each end the
// wait and run inside it.
TEST(QtEventPump, AnEventFromElsewhereOrAWindowTimerEndsTheWait) {
  QtEventPump pump;
  QObject receiver;
  bool posted = false, fired = false;
  std::thread poster([&] {
    std::this_thread::sleep_for(10ms);
    QMetaObject::invokeMethod(
        &receiver, [&] { posted = true; }, Qt::QueuedConnection);
  });
  const platform::Deadline deadline = steady_clock::now() + 1h;
  while (!posted) pump.WaitUntil(deadline);
  poster.join();
  QTimer::singleShot(5, &receiver, [&] { fired = true; });
  while (!fired) pump.WaitUntil(deadline);
  EXPECT_LT(steady_clock::now(), deadline);
}

}  // namespace
}  // namespace telpod
