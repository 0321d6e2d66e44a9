// The send loop as the program runs it: the real clock library, a Qt event
// pump once per pass, and a writer that only timestamps. Eight periodic rows
// at 1 ms, then at period 0.
//
//   send_loop [seconds per run, default 3]
#include "send/send_loop.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "platform/program_folder.h"
#include "send/zqt_clock.h"
#include "timing_stats.h"

namespace {

using telpod::CAN_SendDB;

class TimestampWriter : public telpod::RowWriter {
 public:
  TimestampWriter(telpod::ZqtClock& clock, telpod::bench::FrameGaps& gaps)
      : clock_(clock), gaps_(gaps) {}
  void WriteRow(const CAN_SendDB&, int16_t i) override { gaps_.Frame(i, clock_.Now()); }

 private:
  telpod::ZqtClock& clock_;
  telpod::bench::FrameGaps& gaps_;
};

// Lets Qt's pending events run, and ends the run after its time.
class TimedPump : public telpod::platform::EventPump {
 public:
  TimedPump(telpod::ZqtClock& clock, int32_t& flag, double stop_at)
      : clock_(clock), flag_(flag), stop_at_(stop_at) {}
  void DoEvents() override {
    QCoreApplication::processEvents();
    ++passes;
    if ((passes & 0xFF) == 0 && clock_.Now() >= stop_at_) flag_ = 0;
  }
  uint64_t passes = 0;

 private:
  telpod::ZqtClock& clock_;
  int32_t& flag_;
  double stop_at_;
};

void Run(telpod::ZqtClock& clock, double period_ms, double seconds) {
  CAN_SendDB db;
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    db.set_CAN_SendCycleOperation(i, 1);
    db.set_CAN_SendCycleTime(i, period_ms);
  }
  db.Timer_Clear();
  telpod::bench::FrameGaps gaps(period_ms);
  TimestampWriter writer(clock, gaps);
  int32_t RxFlag = 1;
  const double start = clock.Now();
  TimedPump pump(clock, RxFlag, start + seconds * 1000.0);
  telpod::SendLoop loop(db, RxFlag, clock, writer, pump);
  loop.StampLastVisit();
  loop.Run();
  const double elapsed_s = (clock.Now() - start) / 1000.0;

  std::printf("send_loop rows=8 period_ms=%g frames=%llu passes_per_s=%.0f %s\n", period_ms,
              static_cast<unsigned long long>(gaps.frames()), double(pump.passes) / elapsed_s,
              gaps.stats().Summary().c_str());
  if (period_ms > 0) {
    const double asked = 8.0 * elapsed_s * 1000.0 / period_ms;
    std::printf("# period_ms=%g: %.2f%% of the %.0f frames the periods ask for\n", period_ms,
                100.0 * double(gaps.frames()) / asked, asked);
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_NO_GLIB", "1");  // the event dispatcher the program runs with
  QCoreApplication app(argc, argv);
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  std::string error;
  auto clock = telpod::ZqtClock::Load(telpod::platform::ProgramFolder(), &error);
  if (!clock) {
    std::fprintf(stderr, "send_loop: %s\n", error.c_str());
    return 1;
  }
  Run(*clock, 1.0, seconds);
  Run(*clock, 0.0, seconds);
  return 0;
}
