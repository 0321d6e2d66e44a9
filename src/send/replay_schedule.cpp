#include "send/replay_schedule.h"

#include <algorithm>
#include <limits>

namespace telpod {

namespace {
constexpr double kNow = -std::numeric_limits<double>::infinity();
constexpr double kNever = std::numeric_limits<double>::infinity();
constexpr double kNsPerMs = 1e6;
constexpr double kMsPerSecond = 1e3;
// Frames of other channels or identifiers read in one go before the loop
// gets its turn again.
constexpr int kReadChunk = 4096;
// Rounds of a log whose frames share one instant still come apart.
constexpr double kLeastRoundGapMs = 1.0;
}  // namespace

ReplaySchedule::ReplaySchedule(std::unique_ptr<RecordedFrames> frames, ReplayOptions options)
    : frames_(std::move(frames)), options_(std::move(options)) {
  // NaN included: a speed outside the range takes the nearer end.
  options_.speed = options_.speed >= ReplayOptions::kMinSpeed
                       ? std::min(options_.speed, ReplayOptions::kMaxSpeed)
                       : ReplayOptions::kMinSpeed;
}

double ReplaySchedule::NextDue() const {
  if (finished_) return kNever;
  if (!started_ || !have_next_) return kNow;
  return DeadlineOf(next_);
}

void ReplaySchedule::SendDue(Clock& clock, FrameSender& sender) {
  if (finished_) return;
  if (!started_) {
    // The first frame chosen falls due the moment it is known.
    if ((!have_next_ && !ReadAhead()) || finished_) return;
    started_ = true;
    start_ms_ = last_deadline_ms_ = clock.Now();
  }
  for (int handed = 0; handed < kBatch; ++handed) {
    if (!have_next_ && !ReadAhead()) return;
    if (finished_) return;
    const double now = clock.Now();
    const double due = DeadlineOf(next_);
    if (now < due) return;
    last_deadline_ms_ = due;
    have_next_ = false;
    HandOver(next_, now, sender);
  }
  // The next deadline is known before the loop decides how long to wait.
  if (!have_next_ && !finished_) ReadAhead();
}

bool ReplaySchedule::ReadAhead() {
  for (int n = 0; n < kReadChunk && !finished_; ++n) {
    if (!frames_->Next(next_)) {
      EndRound();
      continue;
    }
    if (!Chosen(next_)) continue;
    if (!first_ns_) first_ns_ = round_last_ns_ = next_.time_ns;
    round_last_ns_ = std::max(round_last_ns_, next_.time_ns);
    ++round_frames_;
    have_next_ = true;
    return true;
  }
  return finished_;
}

void ReplaySchedule::EndRound() {
  const bool last_round = options_.rounds != 0 && round_ + 1 >= options_.rounds;
  if (round_frames_ == 0 || last_round || !frames_->Rewind()) {
    finished_ = true;
    return;
  }
  const double span_ms = static_cast<double>(round_last_ns_ - *first_ns_) / kNsPerMs;
  const double mean_gap_ms =
      round_frames_ > 1 ? span_ms / static_cast<double>(round_frames_ - 1) : 0;
  round_start_ms_ += span_ms + std::max(mean_gap_ms, kLeastRoundGapMs);
  ++round_;
  round_frames_ = 0;
}

bool ReplaySchedule::Chosen(const RecordedFrame& f) {
  if (!options_.OnChosenChannel(f)) {
    ++passed_.other_channel;
    return false;
  }
  if (!options_.ChosenId(f.frame.id)) {
    ++passed_.other_id;
    return false;
  }
  return true;
}

double ReplaySchedule::OffsetMs(const RecordedFrame& f) const {
  return round_start_ms_ + static_cast<double>(f.time_ns - *first_ns_) / kNsPerMs;
}

double ReplaySchedule::DeadlineOf(const RecordedFrame& f) const {
  return std::max(last_deadline_ms_, start_ms_ + OffsetMs(f) / options_.speed);
}

void ReplaySchedule::HandOver(const RecordedFrame& f, double now, FrameSender& sender) {
  if (f.frame.remote && !sender.SendsRemoteFrames()) {
    ++passed_.remote;
    return;
  }
  last_offset_ms_ = OffsetMs(f);
  rounds_played_ = round_ + 1;
  lateness_.Add(now - last_deadline_ms_);
  last_handed_ms_ = now;
  ++(sender.Send(f.frame) ? sent_ : refused_);
}

void ReplaySchedule::Stop() {
  stopped_ = finished_ = true;
}

ReplaySummary ReplaySchedule::Summary() const {
  ReplaySummary s;
  s.sent = sent_;
  s.refused = refused_;
  s.lines = frames_->skipped();
  s.frames = passed_;
  s.rounds = rounds_played_;
  s.start_ms = start_ms_;
  s.recorded_ms = last_offset_ms_;
  s.played_ms = lateness_.count() > 0 ? last_handed_ms_ - start_ms_ : 0;
  s.lateness_p50_ms = lateness_.PercentileMs(0.5);
  s.lateness_p99_ms = lateness_.PercentileMs(0.99);
  s.lateness_max_ms = lateness_.max_ms();
  s.stopped = stopped_;
  return s;
}

ReplayProgress ReplaySchedule::Progress() const {
  ReplayProgress p;
  p.round = std::max<int64_t>(rounds_played_, 1);
  p.frames = sent_ + refused_;
  p.played_s = std::max(0.0, last_offset_ms_ - round_start_ms_) / kMsPerSecond;
  const auto last_ns = frames_->LastTimeNs();
  if (first_ns_ && last_ns && *last_ns > *first_ns_) {
    p.recorded_s = static_cast<double>(*last_ns - *first_ns_) / (kNsPerMs * kMsPerSecond);
  }
  p.fraction =
      p.recorded_s ? std::clamp(p.played_s / *p.recorded_s, 0.0, 1.0) : frames_->Position();
  if (finished_ && !stopped_) p.fraction = 1.0;
  return p;
}

}  // namespace telpod
