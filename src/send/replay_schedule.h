#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "model/recorded_frame.h"
#include "send/clock.h"
#include "send/frame_sender.h"
#include "send/lateness_tally.h"
#include "send/replay_options.h"

namespace telpod {

// Frames of the log that were read but not sent, by why.
struct PassedOver {
  int64_t other_channel = 0;
  int64_t other_id = 0;
  int64_t remote = 0;  // the device cannot send remote frames
  friend bool operator==(const PassedOver&, const PassedOver&) = default;
};

// How a replay went, so far or in the end.
struct ReplaySummary {
  int64_t sent = 0;
  int64_t refused = 0;
  SkippedLines lines;
  PassedOver frames;
  // Rounds played, the last one perhaps in part.
  int64_t rounds = 0;
  // The clock reading at which the first frame fell due: every deadline
  // counts from here.
  double start_ms = 0;
  // From the first frame handed over to the last, in the log's time and
  // on the clock.
  double recorded_ms = 0;
  double played_ms = 0;
  double lateness_p50_ms = 0;
  double lateness_p99_ms = 0;
  double lateness_max_ms = 0;
  bool stopped = false;
};

// Where a replay stands, for a progress bar.
struct ReplayProgress {
  // Of the round being played, 0 to 1.
  double fraction = 0;
  // The log's time played in this round, and the round's length when the
  // log tells it.
  double played_s = 0;
  std::optional<double> recorded_s;
  int64_t frames = 0;
  int64_t round = 1;
};

// Plays a recorded log with its own timing: each frame falls due at its
// recorded offset from the first frame played, on deadlines counted from
// the start, so a late frame never shifts the ones after it. Frames are
// read one ahead, never the whole log. Another round starts one mean
// recorded gap after the last frame of the round before.
class ReplaySchedule {
 public:
  // At most this many frames go out in one call, so rows due meanwhile
  // and the window's events are not held up by a burst.
  static constexpr int kBatch = 32;

  ReplaySchedule(std::unique_ptr<RecordedFrames> frames, ReplayOptions options);

  // The clock reading at which the next frame falls due: minus infinity
  // when something is to be done now (the start, reading on), infinity
  // once the replay has ended.
  double NextDue() const;
  // Starts the replay at its first call, once its first frame is read,
  // then hands every frame due by now to `sender`.
  void SendDue(Clock& clock, FrameSender& sender);
  void Stop();
  bool Finished() const { return finished_; }

  ReplaySummary Summary() const;
  ReplayProgress Progress() const;

 private:
  // Reads on to the next chosen frame; false when a chunk of the log was
  // passed over without one, to go on at the next call.
  bool ReadAhead();
  // The log is at its end: another round, or the replay's end.
  void EndRound();
  bool Chosen(const RecordedFrame& f);
  double OffsetMs(const RecordedFrame& f) const;
  double DeadlineOf(const RecordedFrame& f) const;
  void HandOver(const RecordedFrame& f, double now, FrameSender& sender);

  std::unique_ptr<RecordedFrames> frames_;
  ReplayOptions options_;
  RecordedFrame next_;
  bool have_next_ = false;
  bool started_ = false;
  bool finished_ = false;
  bool stopped_ = false;
  double start_ms_ = 0;
  // The first chosen frame's recorded time: offset 0.
  std::optional<int64_t> first_ns_;
  // The log's time at which the current round starts, from the first frame.
  double round_start_ms_ = 0;
  int64_t round_ = 0;
  int64_t rounds_played_ = 0;
  int64_t round_frames_ = 0;
  int64_t round_last_ns_ = 0;
  // Deadlines never run backwards, even where the log's times do.
  double last_deadline_ms_ = 0;
  double last_offset_ms_ = 0;
  double last_handed_ms_ = 0;
  int64_t sent_ = 0;
  int64_t refused_ = 0;
  PassedOver passed_;
  LatenessTally lateness_;
};

}  // namespace telpod
