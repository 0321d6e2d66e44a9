#include "send/zqt_clock.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/temp_folder.h"

namespace telpod {
namespace {

TEST(ZqtClock, LoadsFromTheProgramFolderAndRunsMonotonicInMilliseconds) {
  std::string error;
  auto clock = ZqtClock::Load(TELPOD_PROGRAM_DIR, &error);
  ASSERT_NE(clock, nullptr) << error;
  const double a = clock->Now();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const double b = clock->Now();
  EXPECT_GE(b - a, 19.0);
  EXPECT_LT(b - a, 5000.0);
  double last = clock->Now(), finest = 1e9;
  for (int k = 0; k < 100000; ++k) {  // readings resolve well below a millisecond
    const double t = clock->Now();
    ASSERT_GE(t, last);
    if (t > last) finest = std::min(finest, t - last);
    last = t;
  }
  EXPECT_LT(finest, 0.01);
}

TEST(ZqtClock, MissingLibraryIsAnErrorNotACrash) {
  test::TempFolder empty;
  std::string error;
  EXPECT_EQ(ZqtClock::Load(empty.path(), &error), nullptr);
  EXPECT_NE(error.find("libzqt100.so"), std::string::npos);
}

}  // namespace
}  // namespace telpod
