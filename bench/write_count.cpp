// What counting refused frames costs the send loop: eight rows due at every
// pass, written once by a bare RowWriter and once through a
// FamilyConnection whose device refuses every other frame, so the count
// runs. Neither writer touches a device, so the difference is the counting
// path alone. Then the same family with the taken frames' bits counted as a
// connection counts them; with rules given but none on a row, and with an
// alive counter and a CRC-8H2F on every row: what a row without rules pays
// for their being there, and what a rule costs. Thread CPU time, the best
// of several runs, so that other load on the machine weighs little.
//
//   write_count [passes per run, default 2000000]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "send/connection_skeleton.h"
#include "send/remembering_clock.h"
#include "send/send_loop.h"

namespace {

using telpod::CAN_SendDB;

// A clock that needs no system call: every reading is 1 ms on.
class StepClock : public telpod::Clock {
 public:
  double Now() override { return now_ += 1.0; }

 private:
  double now_ = 0.0;
};

class StopAfter : public telpod::platform::EventPump {
 public:
  StopAfter(int32_t& flag, long passes) : flag_(flag), left_(passes) {}
  void DoEvents() override {
    if (--left_ == 0) flag_ = 0;
  }

 private:
  int32_t& flag_;
  long left_;
};

class BareWriter : public telpod::RowWriter {
 public:
  void WriteRow(const CAN_SendDB&, int16_t i) override { sink += i; }
  long sink = 0;
};

class RefusingFamily : public telpod::FamilyConnection {
 public:
  bool SelectRate(int32_t) override { return true; }
  bool Open() override { return true; }
  void Start(telpod::LoopStart&) override {}
  int32_t Close() override { return 0; }
  bool WriteFrame(const telpod::CanFrame& frame) override {
    sink += frame.id;
    return (frame.id & 1) == 0;
  }
  long sink = 0;
};

double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Nanoseconds of thread time per frame written, best of five runs; with
// `counting`, that family counts the bits its device takes.
double NsPerFrame(telpod::RowWriter& writer, long passes,
                  telpod::FamilyConnection* counting = nullptr) {
  double best = 1e30;
  for (int run = 0; run < 5; ++run) {
    CAN_SendDB db;
    for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
      db.set_CAN_SendCycleOperation(i, 1);
      db.set_CAN_SendCycleTime(i, 0.0);
      db.set_CAN_ID(i, i);  // the family below refuses odd identifiers
    }
    db.Timer_Clear();
    int32_t RxFlag = 1;
    StepClock steps;
    telpod::RememberingClock clock(steps);  // as a connection runs its loop
    StopAfter pump(RxFlag, passes);
    telpod::SendLoop loop(db, RxFlag, clock, writer, pump);
    loop.StampLastVisit();
    if (counting != nullptr) counting->CountTakenBits(&clock);
    const double start = ThreadSeconds();
    loop.Run();
    if (counting != nullptr) counting->CountTakenBits(nullptr);
    best = std::min(best, (ThreadSeconds() - start) * 1e9 / double(passes * CAN_SendDB::kRows));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const long passes = argc > 1 ? std::atol(argv[1]) : 2000000;
  if (passes < 1) return 1;
  BareWriter bare;
  RefusingFamily family, bits_family;
  const double bare_ns = NsPerFrame(bare, passes);
  const double counted_ns = NsPerFrame(family, passes);
  const double bits_ns = NsPerFrame(bits_family, passes, &bits_family);
  std::printf(
      "write_count passes=%ld bare_ns_per_frame=%.2f counted_ns_per_frame=%.2f "
      "extra_ns=%.2f with_bits_ns_per_frame=%.2f bits_extra_ns=%.2f\n",
      passes, bare_ns, counted_ns, counted_ns - bare_ns, bits_ns, bits_ns - counted_ns);

  telpod::RowRules none, every;
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    every.Set(i, {telpod::CounterRule{7, 0, 4, 0, 1, 14},
                  telpod::ChecksumRule{8, telpod::ChecksumAlgorithm::Crc8H2F, {}, {}}});
  }
  RefusingFamily without_rules, with_rules;
  without_rules.FollowRules(&none);
  with_rules.FollowRules(&every);
  const double without_ns = NsPerFrame(without_rules, passes);
  const double with_ns = NsPerFrame(with_rules, passes);
  std::printf(
      "write_count rows_without_rules_ns_per_frame=%.2f extra_ns=%.2f "
      "rows_with_rules_ns_per_frame=%.2f extra_ns=%.2f\n",
      without_ns, without_ns - counted_ns, with_ns, with_ns - counted_ns);
  // Half of all frames refused, and the other half's bits (standard 8-byte
  // frames) counted in the run that counts them, or a count did not run.
  const long frames = passes * CAN_SendDB::kRows;
  return family.FailedWrites() * 2 == 5 * frames && bits_family.TakenBits() == frames / 2 * 135 ? 0
                                                                                                : 1;
}
