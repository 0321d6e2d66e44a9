#include "send/wake_margin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace telpod {
namespace {

struct Series {
  const char* what;
  std::vector<std::pair<int, double>> wake_ups;  // (how many, lateness in ms)
  double margin_ms;
};

TEST(WakeMargin, LearnsAHighPercentileOfRecentLatenessWithHeadroom) {
  const std::vector<Series> cases = {
      {"nothing learned yet: the cautious guess", {}, 0.31},
      {"a few quick wake-ups do not outvote the guess", {{100, 0.01}}, 0.31},
      {"a whole window of quick wake-ups", {{128, 0.03}}, 0.055},
      {"one stray pre-emption is ignored", {{128, 0.03}, {1, 0.9}}, 0.055},
      {"two are taken seriously", {{128, 0.03}, {2, 0.9}}, 1.36},
      {"both still in the window", {{128, 0.03}, {2, 0.9}, {126, 0.04}}, 1.36},
      {"one left the window, one is a stray again", {{128, 0.03}, {2, 0.9}, {127, 0.04}}, 0.07},
      {"never below 20 us", {{128, 0.0}}, 0.02},
      {"never above 5 ms", {{128, 30.0}}, 5.0},
      {"early or not a number: nothing learned", {{128, -0.5}, {128, std::nan("")}}, 0.31},
  };
  for (const auto& c : cases) {
    WakeMargin margin;
    for (const auto& [count, lateness] : c.wake_ups) {
      for (int k = 0; k < count; ++k) margin.Learn(lateness);
    }
    EXPECT_NEAR(margin.ms(), c.margin_ms, 1e-9) << c.what;
  }
}

}  // namespace
}  // namespace telpod
