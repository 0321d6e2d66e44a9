#include "send/replay_schedule.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "send/lateness_tally.h"
#include "support/replay_fakes.h"

namespace telpod {
namespace {

using test::FramesInMemory;
using test::RecordedAt;
using test::RecordingSender;
using test::ScriptedClock;
using ::testing::DoubleNear;
using ::testing::Pointwise;
using Times = std::vector<double>;

// Times to within a nanosecond: they are sums of milliseconds.
auto Near(const Times& expected) {
  return Pointwise(DoubleNear(1e-6), expected);
}

constexpr double kStart = 1000.0;

class ReplayScheduleTest : public ::testing::Test {
 protected:
  ReplaySchedule& Load(std::vector<RecordedFrame> frames, ReplayOptions options = {},
                       std::optional<int64_t> last_ns = std::nullopt) {
    auto log = std::make_unique<FramesInMemory>(std::move(frames), last_ns);
    log_ = log.get();
    schedule_.emplace(std::move(log), std::move(options));
    return *schedule_;
  }
  // Plays to the end as the loop would: the k-th wait for a deadline
  // wakes late(k) ms after it; `each` runs after every call.
  void Play(
      std::function<double(int)> late = [](int) { return 0.0; },
      std::function<void()> each = [] {}) {
    int k = 0;
    for (int calls = 0; !schedule_->Finished() && calls < 10'000; ++calls) {
      const double due = schedule_->NextDue();
      if (std::isfinite(due) && due > clock.now) clock.now = due + late(k++);
      schedule_->SendDue(clock, sender);
      each();
    }
  }
  // When each frame went out, from the start.
  Times SentAt() const {
    Times times;
    for (const auto& s : sender.sent) times.push_back(s.time - kStart);
    return times;
  }

  void SetUp() override { clock.now = kStart; }

  ScriptedClock clock;
  RecordingSender sender{clock};
  FramesInMemory* log_ = nullptr;
  std::optional<ReplaySchedule> schedule_;
};

std::vector<RecordedFrame> FramesAt(const Times& ms) {
  std::vector<RecordedFrame> frames;
  for (size_t n = 0; n < ms.size(); ++n) {
    frames.push_back(RecordedAt(ms[n], static_cast<uint32_t>(0x100 + n)));
  }
  return frames;
}

// Offsets count from the first frame (recorded at 5000 ms here) and from
// the start; a late wake-up delays its own frame and those already due,
// never the ones after. Times that run backwards send at once, after the
// frame before.
TEST_F(ReplayScheduleTest, FramesGoOutAtTheirOffsetsOnDeadlinesFromTheStart) {
  const std::tuple<const char*, Times, std::function<double(int)>, Times> cases[] = {
      {"on time", {5000, 5010, 5010, 5025}, [](int) { return 0.0; }, {0, 10, 10, 25}},
      {"the first wait 7 ms late",
       {5000, 5010, 5015, 5025},
       [](int k) { return k == 0 ? 7.0 : 0.0; },
       {0, 17, 17, 25}},
      {"every wait 0.5 ms late", {5000, 5010, 5020}, [](int) { return 0.5; }, {0, 10.5, 20.5}},
      {"time running backwards",
       {5000, 5020, 5010, 5030},
       [](int) { return 0.0; },
       {0, 20, 20, 30}},
  };
  for (const auto& [name, recorded, late, sent] : cases) {
    SCOPED_TRACE(name);
    clock.now = kStart;
    sender.sent.clear();
    Load(FramesAt(recorded));
    EXPECT_EQ(schedule_->NextDue(), -std::numeric_limits<double>::infinity());
    Play(late);
    EXPECT_THAT(SentAt(), Near(sent));
    EXPECT_EQ(schedule_->NextDue(), std::numeric_limits<double>::infinity());
    const ReplaySummary summary = schedule_->Summary();
    EXPECT_EQ(summary.sent, static_cast<int64_t>(recorded.size()));
    EXPECT_EQ(summary.recorded_ms, recorded.back() - recorded.front());
    EXPECT_DOUBLE_EQ(summary.played_ms, sent.back());
  }
}

TEST_F(ReplayScheduleTest, SpeedScalesTheLogsTimeWithinItsRange) {
  const std::pair<double, Times> cases[] = {
      {2.0, {0, 5, 50}},
      {0.5, {0, 20, 200}},
      {100.0, {0, 0.1, 1}},
      {1000.0, {0, 0.1, 1}},
      {0.0, {0, 100, 1000}},
      {-1.0, {0, 100, 1000}},
      {std::nan(""), {0, 100, 1000}},
  };
  for (const auto& [speed, sent] : cases) {
    SCOPED_TRACE(speed);
    clock.now = kStart;
    sender.sent.clear();
    Load(FramesAt({0, 10, 100}), {.speed = speed});
    Play();
    EXPECT_THAT(SentAt(), Near(sent));
  }
}

// Each round starts one mean recorded gap after the last frame of the
// round before (15 ms for three frames over 30 ms); a log of one instant
// repeats 1 ms apart. Round 0 plays until stopped.
TEST_F(ReplayScheduleTest, RoundsFollowOneMeanGapApart) {
  Load(FramesAt({100, 110, 130}), {.rounds = 3});
  Play();
  EXPECT_THAT(SentAt(), Near({0, 10, 30, 45, 55, 75, 90, 100, 120}));
  EXPECT_EQ(log_->rewinds, 2);
  EXPECT_EQ(schedule_->Summary().rounds, 3);
  EXPECT_EQ(schedule_->Summary().recorded_ms, 120);

  clock.now = kStart;
  sender.sent.clear();
  Load(FramesAt({7, 7}), {.speed = 2.0, .rounds = 0});
  Play([](int) { return 0.0; },
       [this] {
         if (sender.sent.size() >= 8) schedule_->Stop();
       });
  EXPECT_THAT(SentAt(), Near({0, 0, 0.5, 0.5, 1, 1, 1.5, 1.5}));
  const ReplaySummary summary = schedule_->Summary();
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.rounds, 4);
}

// Frames of other channels and identifiers are read and counted, not
// sent; the first frame chosen is time 0. A device without remote frames
// passes them over, one that refuses a frame has it counted, and the
// lines the reader skipped come into the summary.
TEST_F(ReplayScheduleTest, FiltersAndRefusalsAreCountedByWhy) {
  auto frames = std::vector<RecordedFrame>{
      RecordedAt(0, 0x100, "can1"),  RecordedAt(5, 0x7DF, "can0"),  RecordedAt(10, 0x123, "can0"),
      RecordedAt(20, 0x7E8, "can0"), RecordedAt(25, 0x7E0, "can0"), RecordedAt(30, 0x7E9, "can0")};
  frames[4].frame.remote = true;
  Load(frames, {.rounds = 2, .channel = "can0", .ids = {{0x7DF, 0x7E8}, {0x100, 0x100}}});
  log_->skipped_lines = {.fd = 2, .unreadable = 1};
  sender.remote = false;
  sender.refused = {0x7E8};
  Play();
  EXPECT_EQ(sender.Ids(), (std::vector<uint32_t>{0x7DF, 0x7E8, 0x7DF, 0x7E8}));
  EXPECT_THAT(SentAt(), Near({0, 15, 30, 45}));
  const ReplaySummary s = schedule_->Summary();
  EXPECT_EQ(s.sent, 2);
  EXPECT_EQ(s.refused, 2);
  EXPECT_EQ(s.frames, (PassedOver{.other_channel = 2, .other_id = 4, .remote = 2}));
  // Up to the last frame handed over: the remote one after it never was.
  EXPECT_EQ(s.recorded_ms, 45);
  EXPECT_EQ(s.lines, (SkippedLines{.fd = 2, .unreadable = 1}));
}

// Nothing chosen ends the replay with nothing sent, whatever the rounds.
TEST_F(ReplayScheduleTest, ALogWithNothingChosenEndsAtOnce) {
  Load(FramesAt({0, 1}), {.rounds = 0, .channel = "can9"});
  Play();
  EXPECT_TRUE(schedule_->Finished());
  EXPECT_TRUE(sender.sent.empty());
  EXPECT_EQ(schedule_->Summary().frames.other_channel, 2);
}

// A burst goes out a batch at a time, so the loop's rows and events get
// their turn; long stretches of frames not chosen are read a chunk at a
// time, the replay asking to be called again at once.
TEST_F(ReplayScheduleTest, BurstsAndLongSkipsLeaveTheLoopItsTurn) {
  std::vector<RecordedFrame> frames(100, RecordedAt(0, 0x1));
  for (int n = 0; n < 10'000; ++n) frames.push_back(RecordedAt(1, 0x2));
  frames.push_back(RecordedAt(2, 0x1));
  Load(frames, {.ids = {{1, 1}}});
  std::vector<size_t> per_call;
  Play([](int) { return 0.0; }, [&] { per_call.push_back(sender.sent.size()); });
  EXPECT_EQ(per_call, (std::vector<size_t>{32, 64, 96, 100, 100, 100, 101}));
  EXPECT_EQ(SentAt().back(), 2);
}

// The summary's lateness: median, 99th percentile (to the bucket's upper
// end, never past the largest) and the largest.
TEST_F(ReplayScheduleTest, LatenessIsSummedUpPerFrame) {
  Times recorded;
  for (int n = 0; n < 200; ++n) recorded.push_back(n * 10.0);
  Load(FramesAt(recorded));
  // 15.625 us and 31.25 us: exact in binary, in the buckets up to 16 and 32 us.
  Play([](int k) { return k == 50 ? 4.0 : k < 100 ? 1.0 / 64 : 1.0 / 32; });
  const ReplaySummary s = schedule_->Summary();
  EXPECT_DOUBLE_EQ(s.lateness_p50_ms, 0.016);
  EXPECT_DOUBLE_EQ(s.lateness_p99_ms, 0.032);
  EXPECT_DOUBLE_EQ(s.lateness_max_ms, 4.0);
}

// Progress in the round by the log's time when its end is known, by the
// file's position otherwise; a finished replay is complete.
TEST_F(ReplayScheduleTest, ProgressFollowsTheLogsTimeOrItsPosition) {
  for (const bool end_known : {true, false}) {
    SCOPED_TRACE(end_known);
    Load(FramesAt({1000, 1010, 1030, 1040}), {},
         end_known ? std::optional<int64_t>(1'040'000'000) : std::nullopt);
    std::vector<double> fractions;
    Play([](int) { return 0.0; }, [&] { fractions.push_back(schedule_->Progress().fraction); });
    EXPECT_THAT(fractions, Near(end_known ? Times{0, 0.25, 0.75, 1} : Times{0.5, 0.75, 1, 1}));
    const ReplayProgress p = schedule_->Progress();
    EXPECT_EQ(p.frames, 4);
    EXPECT_DOUBLE_EQ(p.played_s, 0.04);
    EXPECT_EQ(p.recorded_s.has_value(), end_known);
    EXPECT_DOUBLE_EQ(p.recorded_s.value_or(0.04), 0.04);
  }
}

TEST(LatenessTally, PercentilesComeFromBucketsOfBoundedWidth) {
  const std::tuple<std::vector<double>, double, double> cases[] = {
      {{}, 0, 0},
      {{0.0005}, 0.0005, 0.0005},
      {{0.010, 0.020, 0.030}, 0.021, 0.030},
      {{0.1, 0.1, 0.1, 500.0}, 0.102, 500.0},
      {{-1.0, 0.0}, 0.0, 0.0},
      {{30'000'000.0}, 30'000'000.0, 30'000'000.0},
  };
  for (const auto& [lateness, p50, p99] : cases) {
    LatenessTally tally;
    for (double ms : lateness) tally.Add(ms);
    EXPECT_NEAR(tally.PercentileMs(0.5), p50, 1e-9);
    EXPECT_NEAR(tally.PercentileMs(0.99), p99, 1e-9);
  }
}

}  // namespace
}  // namespace telpod
