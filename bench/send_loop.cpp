// The send loop as the program runs it: the real clock library, the window's
// Qt event pump, and a writer that only timestamps. Eight periodic rows at
// 1, 10 and 100 ms and at period 0, each run sleeping between frames and
// spinning as the loop used to; the sleeping runs also show the wake-up
// margin the loop learned (at its start, lowest, highest, at the end).
//
//   send_loop [seconds per run, default 3]
#include "send/send_loop.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "paced_pump.h"
#include "platform/program_folder.h"
#include "platform/timer_resolution.h"
#include "send/zqt_clock.h"
#include "timing_stats.h"

namespace {

using telpod::CAN_SendDB;
using telpod::bench::Pacing;

class TimestampWriter : public telpod::RowWriter {
 public:
  TimestampWriter(telpod::ZqtClock& clock, telpod::bench::FrameGaps& gaps)
      : clock_(clock), gaps_(gaps) {}
  void WriteRow(const CAN_SendDB&, int16_t i) override { gaps_.Frame(i, clock_.Now()); }

 private:
  telpod::ZqtClock& clock_;
  telpod::bench::FrameGaps& gaps_;
};

// The margin in microseconds, sampled as the run goes.
struct MarginTrace {
  void Sample(double ms) {
    const double us = ms * 1000.0;
    if (samples++ == 0) first = lowest = highest = us;
    lowest = std::min(lowest, us);
    highest = std::max(highest, us);
    last = us;
  }
  int samples = 0;
  double first = 0, lowest = 0, highest = 0, last = 0;
};

void Run(telpod::ZqtClock& clock, Pacing pacing, double period_ms, double seconds) {
  CAN_SendDB db;
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    db.set_CAN_SendCycleOperation(i, 1);
    db.set_CAN_SendCycleTime(i, period_ms);
  }
  db.Timer_Clear();
  telpod::bench::FrameGaps gaps(period_ms);
  TimestampWriter writer(clock, gaps);
  int32_t RxFlag = 1;
  MarginTrace margin;
  const telpod::SendLoop* running = nullptr;
  telpod::bench::PacedPump pump(pacing, RxFlag, seconds,
                                [&] { margin.Sample(running->margin().current_ms()); });
  telpod::SendLoop loop(db, RxFlag, clock, writer, pump);
  running = &loop;
  const double start = clock.Now();
  loop.StampLastVisit();
  telpod::platform::timeBeginPeriod(1);
  loop.Run();
  telpod::platform::timeEndPeriod(1);
  const double elapsed_s = (clock.Now() - start) / 1000.0;

  std::printf("send_loop pacing=%s rows=8 period_ms=%g frames=%llu %s\n",
              telpod::bench::PacingName(pacing), period_ms,
              static_cast<unsigned long long>(gaps.frames()), gaps.stats().Summary().c_str());
  if (period_ms > 0) {
    const double asked = 8.0 * elapsed_s * 1000.0 / period_ms;
    std::printf("# period_ms=%g: %.2f%% of the %.0f frames the periods ask for\n", period_ms,
                100.0 * double(gaps.frames()) / asked, asked);
  }
  std::printf("# period_ms=%g: %s", period_ms, pump.Summary(elapsed_s).c_str());
  // Spinning, the loop learns nothing worth showing: its waits return at once.
  if (pacing == Pacing::Wait) {
    std::printf(" margin_us=%.1f..%.1f..%.1f..%.1f", margin.first, margin.lowest, margin.highest,
                margin.last);
  }
  std::printf("\n");
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
  for (double period_ms : {1.0, 10.0, 100.0, 0.0}) {
    for (Pacing pacing : {Pacing::Wait, Pacing::Spin}) Run(*clock, pacing, period_ms, seconds);
  }
  return 0;
}
