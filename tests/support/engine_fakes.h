#pragma once

#include <string>
#include <vector>

#include "send/clock.h"
#include "send/connection_skeleton.h"
#include "send/send_loop.h"
#include "support/platform_fakes.h"

namespace telpod::test {

// A clock the test moves by hand; optionally it also advances by `step`
// after every reading. Its readings are the monotonic clock's count in
// milliseconds, so a wait's deadline reads back as the reading it came from.
class ScriptedClock : public Clock {
 public:
  double Now() override {
    ++readings;
    const double t = now;
    now += step;
    return t;
  }
  platform::Deadline DeadlineAt(double reading) override {
    return platform::Deadline(std::chrono::round<platform::Deadline::duration>(
        std::chrono::duration<double, std::milli>(reading)));
  }
  double now = 1000.0;
  double step = 0.0;
  int readings = 0;
};

struct WrittenFrame {
  int16_t row;
  double time;
  int32_t id;
  uint8_t extended;
  uint8_t dlc;
};

// Records every row the loop writes, with the clock's time of the write.
class RecordingWriter : public RowWriter {
 public:
  explicit RecordingWriter(ScriptedClock& clock) : clock_(clock) {}
  void WriteRow(const CAN_SendDB& db, int16_t i) override {
    frames.push_back({i, clock_.now, db.CAN_ID(i), db.CAN_Send29(i), db.CAN_DLC(i)});
  }
  std::vector<int16_t> Rows() const {
    std::vector<int16_t> rows;
    for (const auto& f : frames) rows.push_back(f.row);
    return rows;
  }
  std::vector<WrittenFrame> frames;

 private:
  ScriptedClock& clock_;
};

// Records the status boxes' texts in the order they were written, and the
// running connection's status as the window would show it when its loop
// ends, with the bits its device took; the test may ask the connection
// while it runs.
class RecordingView : public ConnectionView {
 public:
  void set_TB_Status(const std::string& text) override {
    TB_Status = text;
    history.push_back("status:" + text);
  }
  void set_TB_Protocol(const std::string& text) override {
    TB_Protocol = text;
    history.push_back("protocol:" + text);
  }
  void LoopStarted(LiveConnection& running) override {
    live = &running;
    history.push_back("loop-started");
  }
  void LoopEnded(LiveConnection& running) override {
    final_status = running.StatusText();
    taken_bits = running.TakenBits();
    history.push_back("loop-ended:" + final_status);
    live = nullptr;
  }
  // The running connection, from the loop's start to its end.
  LiveConnection* live = nullptr;
  std::string TB_Status;
  std::string final_status;
  int64_t taken_bits = 0;
  std::string TB_Protocol;
  std::vector<std::string> history;
};

}  // namespace telpod::test
