#include "send/taken_bit_count.h"

#include <gtest/gtest.h>

namespace telpod {
namespace {

// What leaves the last second and what stays: a gap longer than the window
// empties it, a reading that steps back counts as the newest millisecond,
// and the total keeps everything.
TEST(TakenBitCount, TheLastSecondSlidesAndTheTotalKeepsAll) {
  TakenBitCount count;
  count.Start(4000.0);
  EXPECT_EQ(count.PerSecond(4000.0), 0.0);
  count.Add(4100.5, 50);
  EXPECT_EQ(count.PerSecond(4500.0), 100.0);  // over the half second since the start
  count.Add(5000.9, 100);
  count.Add(5700.0, 20);
  count.Add(5699.0, 3);  // a clock that stepped back
  // Whole milliseconds: the window is the current one and the 999 before.
  EXPECT_EQ(count.PerSecond(5999.9), 123.0);
  EXPECT_EQ(count.PerSecond(6000.0), 23.0);
  EXPECT_EQ(count.PerSecond(6699.9), 23.0);
  EXPECT_EQ(count.PerSecond(6700.0), 0.0);
  count.Add(9000.0, 7);
  EXPECT_EQ(count.PerSecond(9000.0), 7.0);
  EXPECT_EQ(count.Total(), 180);
  count.Start(9000.0);
  EXPECT_EQ(count.Total(), 0);
  EXPECT_EQ(count.PerSecond(9500.0), 0.0);
}

}  // namespace
}  // namespace telpod
