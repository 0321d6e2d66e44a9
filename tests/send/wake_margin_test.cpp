#include "send/wake_margin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace telpod {
namespace {

struct Series {
  const char* what;
  std::vector<std::pair<int, double>> wake_ups;  // (how many, lateness in ms), 1 ms apart
  double asked_after_ms;                         // since the last wake-up
  double margin_ms;
};

TEST(WakeMargin, LearnsAHighPercentileOfRecentLatenessWithHeadroom) {
  const std::vector<Series> cases = {
      {"nothing learned yet: the cautious guess", {}, 0.0, 0.31},
      {"a few quick wake-ups do not outvote the guess", {{100, 0.01}}, 0.0, 0.31},
      {"a whole window of quick wake-ups", {{128, 0.03}}, 0.0, 0.055},
      {"one stray pre-emption is ignored", {{128, 0.03}, {1, 0.3}}, 0.0, 0.055},
      {"two are taken seriously", {{128, 0.03}, {2, 0.3}}, 0.0, 0.46},
      {"both still in the window", {{128, 0.03}, {2, 0.3}, {126, 0.04}}, 0.0, 0.46},
      {"one left the window, one is a stray again",
       {{128, 0.03}, {2, 0.3}, {127, 0.04}},
       0.0,
       0.07},
      {"never below 20 us", {{128, 0.0}}, 0.0, 0.02},
      {"never above 500 us", {{128, 30.0}}, 0.0, 0.5},
      {"early or not a number: nothing learned", {{128, -0.5}, {128, std::nan("")}}, 0.0, 0.31},
      {"kept for a second without a wake-up", {{128, 0.25}}, 1'000.0, 0.385},
      {"then forgotten: the guess again", {{128, 0.25}}, 1'000.5, 0.31},
  };
  for (const auto& c : cases) {
    WakeMargin margin;
    double now = 5000.0;
    margin.Ms(now);
    for (const auto& [count, lateness] : c.wake_ups) {
      for (int k = 0; k < count; ++k) margin.Learn(lateness, now += 1.0);
    }
    EXPECT_NEAR(margin.Ms(now + c.asked_after_ms), c.margin_ms, 1e-9) << c.what;
  }
}

}  // namespace
}  // namespace telpod
