#include "model/bus_load.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace telpod {
namespace {

// can-utils' worst-case figures: 135 bits for a standard 8-byte frame, 160
// for an extended one, intermission included.
TEST(BusLoad, FrameBitsAtWorstCaseStuffing) {
  struct Case {
    bool extended, remote;
    uint8_t dlc;
    int32_t bits;
  };
  const Case cases[] = {{false, false, 8, 135}, {true, false, 8, 160}, {false, false, 0, 55},
                        {true, false, 1, 90},   {false, true, 8, 55},  {true, true, 4, 80},
                        {false, false, 15, 135}};
  for (const Case& c : cases) {
    CanFrame frame;
    frame.extended = c.extended;
    frame.remote = c.remote;
    frame.dlc = c.dlc;
    EXPECT_EQ(FrameBits(frame), c.bits) << c.extended << c.remote << int{c.dlc};
  }
}

TEST(BusLoad, VerdictsAboveSeventyAndAboveAHundredPercent) {
  EXPECT_EQ(VerdictOf(70.0), LoadVerdict::Fits);
  EXPECT_EQ(VerdictOf(70.01), LoadVerdict::Busy);
  EXPECT_EQ(VerdictOf(100.0), LoadVerdict::Busy);
  EXPECT_EQ(VerdictOf(100.01), LoadVerdict::Over);
  EXPECT_EQ(PercentText(864.0), "864.0%");
  EXPECT_EQ(PercentText(0.27), "0.3%");
}

// Row i periodic at `period` ms with an 8-byte frame; extended when asked.
void Periodic(CAN_SendDB& db, int16_t i, double period, int32_t id = 0x100, uint8_t ext = 0) {
  db.set_CAN_SendCycleOperation(i, 1);
  db.set_CAN_SendCycleTime(i, period);
  db.set_CAN_ID(i, id);
  db.set_CAN_Send29(i, ext);
  db.set_CAN_DLC(i, 8);
}

void EightAt1Ms(CAN_SendDB& db) {
  for (int16_t i = 0; i < 8; ++i) Periodic(db, i, 1.0);
}

TEST(BusLoad, EstimateCountsThePeriodicRowsTheLoopSends) {
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    std::function<void(CAN_SendDB&)> rows;
    int32_t bit_rate;
    double percent;
    LoadVerdict verdict;
  };
  const Case cases[] = {
      {"nothing periodic", [](CAN_SendDB&) {}, 125'000, 0.0, LoadVerdict::Fits},
      {"8 rows x 1 ms at 125k", EightAt1Ms, 125'000, 864.0, LoadVerdict::Over},
      {"8 rows x 1 ms at 1M", EightAt1Ms, 1'000'000, 108.0, LoadVerdict::Over},
      {"period 1 at 1M", [](CAN_SendDB& db) { Periodic(db, 2, 1.0); }, 1'000'000, 13.5,
       LoadVerdict::Fits},
      {"extended, period 1 at 1M", [](CAN_SendDB& db) { Periodic(db, 2, 1.0, 0x800, 1); },
       1'000'000, 16.0, LoadVerdict::Fits},
      {"3 rows x 1 ms at 500k",
       [](CAN_SendDB& db) {
         for (int16_t i : {0, 4, 7}) Periodic(db, i, 1.0);
       },
       500'000, 81.0, LoadVerdict::Busy},
      {"a fraction of a period, short DLC",
       [](CAN_SendDB& db) {
         Periodic(db, 0, 12.5);
         db.set_CAN_DLC(0, 2);  // 75 bits, 80 times a second
       },
       10'000, 60.0, LoadVerdict::Fits},
      {"switched off, or a switch of 2",
       [](CAN_SendDB& db) {
         EightAt1Ms(db);
         for (int16_t i = 1; i < 8; ++i) db.set_CAN_SendCycleOperation(i, i % 2 == 0 ? 0 : 2);
       },
       1'000'000, 13.5, LoadVerdict::Fits},
      {"identifiers their format cannot carry are never sent",
       [](CAN_SendDB& db) {
         Periodic(db, 0, 1.0, 0x7FF);
         Periodic(db, 1, 1.0, 0x800);
         Periodic(db, 2, 1.0, 0x1FFFFFFF, 2);
         Periodic(db, 3, 1.0, 0x800, 1);
         Periodic(db, 4, 1.0, 0x20000000, 1);
       },
       1'000'000, 29.5, LoadVerdict::Fits},
      {"rows past CAN_Array_MAX are not visited",
       [](CAN_SendDB& db) {
         EightAt1Ms(db);
         db.set_CAN_Array_MAX(1);
       },
       1'000'000, 27.0, LoadVerdict::Fits},
      {"a period that is no number never falls due", [](CAN_SendDB& db) { Periodic(db, 0, kNan); },
       1'000'000, 0.0, LoadVerdict::Fits},
  };
  for (const Case& c : cases) {
    CAN_SendDB db;
    c.rows(db);
    const BusLoadEstimate estimate = EstimateBusLoad(db, c.bit_rate);
    EXPECT_NEAR(estimate.percent, c.percent, 1e-9) << c.what;
    EXPECT_FALSE(estimate.every_pass) << c.what;
    EXPECT_EQ(estimate.verdict(), c.verdict) << c.what;
  }
}

// A row at period 0 goes out at every pass, as fast as the device takes
// frames: over 100% whatever the rate, the other rows still added up.
TEST(BusLoad, APeriodOfZeroOrLessIsOverWhateverTheRate) {
  for (const double period : {0.0, -5.0}) {
    CAN_SendDB db;
    Periodic(db, 0, 1000.0);
    Periodic(db, 5, period);
    const BusLoadEstimate estimate = EstimateBusLoad(db, 1'000'000);
    EXPECT_TRUE(estimate.every_pass);
    EXPECT_NEAR(estimate.percent, 0.0135, 1e-12);
    EXPECT_EQ(estimate.verdict(), LoadVerdict::Over);
    db.set_CAN_SendCycleOperation(5, 0);
    EXPECT_FALSE(EstimateBusLoad(db, 1'000'000).every_pass);
  }
}

}  // namespace
}  // namespace telpod
