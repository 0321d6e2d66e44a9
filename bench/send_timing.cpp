// The connection routines as the program runs them, over the simulated
// drivers: FormBG's Open_* with the real clock library and the window's Qt
// event pump. Frame times come from the simulators' capture. For each
// family, eight periodic rows at 1, 10 and 100 ms and at period 0, then no
// periodic row at all (connected, idle, 5 s); each run once with the loop
// sleeping between frames and once spinning as it used to, side by side.
// At 1 and 10 ms once more with an alive counter and a CRC on rows 0..3,
// rows 4..7 without, their timing errors apart. Then the simulator's own
// cost per write with its log off and buffered.
//
// With "compare", only a fair comparison of the two pacings at 1 and 2 ms:
// wait, spin, wait, spin... five pairs per family, each pair's ratio of
// p99 error (wait over spin) and the median of the five, so that one noisy
// moment of the machine does not decide.
//
//   send_timing [seconds per periodic run, default 5] [family: canusb, ifcan, kvaser or all]
//               [compare]
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "cansim_control.h"
#include "devices/canusb/find_canusb_adapters.h"
#include "devices/driver_set.h"
#include "devices/family_objects.h"
#include "devices/form_bg.h"
#include "devices/ifcan/find_interface_boards.h"
#include "devices/kvaser/find_kvaser_channels.h"
#include "paced_pump.h"
#include "platform/program_folder.h"
#include "send/zqt_clock.h"
#include "sim_bench.h"
#include "timing_stats.h"

namespace {

using telpod::CAN_SendDB;
using telpod::bench::CpuShare;
using telpod::bench::NoView;
using telpod::bench::SimControl;

constexpr int32_t kFirstId = 0x100;  // row i sends kFirstId + i

// Moves the captured frames into the statistics, by row: all of them, and
// apart for rows with rules and rows without.
class CaptureReader {
 public:
  CaptureReader(SimControl& sim, telpod::bench::FrameGaps& gaps, telpod::bench::FrameGaps& ruled,
                telpod::bench::FrameGaps& plain, const telpod::RowRules& rules)
      : sim_(sim), gaps_(gaps), ruled_(ruled), plain_(plain), rules_(rules), buffer_(4096) {}
  void Drain() {
    size_t n;
    while ((n = sim_.take_frames(buffer_.data(), buffer_.size())) > 0) {
      for (size_t k = 0; k < n; ++k) {
        const cansim_frame& f = buffer_[k];
        const int64_t t = f.monotonic_ns;
        if (first_ns_ < 0) first_ns_ = t;
        last_ns_ = t;
        const int row = static_cast<int>(f.id) - kFirstId;
        gaps_.Frame(row, double(t) / 1e6);
        const bool ruled = row >= 0 && row < CAN_SendDB::kRows && rules_.Find(int16_t(row));
        (ruled ? ruled_ : plain_).Frame(row, double(t) / 1e6);
      }
    }
  }
  double span_s() const { return first_ns_ < 0 ? 0.0 : double(last_ns_ - first_ns_) / 1e9; }

 private:
  SimControl& sim_;
  telpod::bench::FrameGaps& gaps_;
  telpod::bench::FrameGaps& ruled_;
  telpod::bench::FrameGaps& plain_;
  const telpod::RowRules& rules_;
  std::vector<cansim_frame> buffer_;
  int64_t first_ns_ = -1, last_ns_ = 0;
};

// The shared objects the main window owns, with the first device of each
// family found and chosen.
struct Window : telpod::FamilyObjects {
  telpod::ELM327_Info device;
  CAN_SendDB db;
  int32_t RxFlag = 0;
};

struct Family {
  const char* name;
  SimControl* sim;
  std::function<void(telpod::FormBG&, Window&)> connect;
};

// One run's rows: eight periodic rows at `period_ms`, or none; with
// `rules`, rows 0..3 carry an alive counter and a CRC.
struct Load {
  double period_ms;
  bool periodic;
  double seconds;
  bool rules = false;
};

// A nibble counter in D7 and a CRC-8H2F in D8 on rows 0..3 when asked.
telpod::RowRules RulesOf(const Load& load) {
  telpod::RowRules rules;
  if (!load.rules) return rules;
  for (int16_t i = 0; i < CAN_SendDB::kRows / 2; ++i) {
    rules.Set(i, {telpod::CounterRule{7, 0, 4, 0, 1, 14},
                  telpod::ChecksumRule{8, telpod::ChecksumAlgorithm::Crc8H2F, {}, {}}});
  }
  return rules;
}

void SetRows(CAN_SendDB& db, const Load& load) {
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    db.set_CAN_ID(i, kFirstId + i);
    db.set_CAN_DLC(i, 8);
    db.set_CAN_SendCycleOperation(i, load.periodic ? 1 : 0);
    db.set_CAN_SendCycleTime(i, load.period_ms);
  }
  db.Timer_Clear();
}

// What the comparison of pacings reads from a run.
struct RunFigures {
  double p99_err_us;
  double cpu_percent;
  double asked_percent;  // of the frames the periods ask for
};

RunFigures Run(const Family& family, Window& w, telpod::ZqtClock& clock, telpod::DriverSet& drivers,
               telpod::bench::Pacing pacing, const Load& load) {
  SetRows(w.db, load);
  SimControl& sim = *family.sim;
  const telpod::RowRules rules = RulesOf(load);
  telpod::bench::FrameGaps gaps(load.period_ms), ruled(load.period_ms), plain(load.period_ms);
  CaptureReader reader(sim, gaps, ruled, plain, rules);
  const long long dropped_before = sim.dropped_frames();
  NoView view;
  telpod::bench::StderrMessages messages("send_timing");
  telpod::bench::PacedPump pump(pacing, w.RxFlag, load.seconds, [&] { reader.Drain(); });
  telpod::FormBG form(w.RxFlag, clock, view, messages, pump, drivers, {.rules = &rules});
  w.RxFlag = 1;
  const CpuShare share;
  family.connect(form, w);
  const std::string cpu = share.Summary();
  RunFigures figures{0.0, share.Percent(), 0.0};
  reader.Drain();
  const double span_s = reader.span_s();

  char run[96];
  std::snprintf(run, sizeof run, "family=%s pacing=%s rows=%d period_ms=%g%s", family.name,
                telpod::bench::PacingName(pacing), load.periodic ? 8 : 0, load.period_ms,
                load.rules ? " rules=4" : "");
  std::printf("send_timing %s frames=%llu frames_per_s=%.0f %s\n", run,
              static_cast<unsigned long long>(gaps.frames()),
              span_s > 0 ? double(gaps.frames()) / span_s : 0.0, gaps.stats().Summary().c_str());
  if (load.periodic && load.period_ms > 0 && span_s > 0) {
    // Every row is due once per period from its first frame on.
    const double asked = 8.0 * (1.0 + span_s * 1000.0 / load.period_ms);
    figures.asked_percent = 100.0 * double(gaps.frames()) / asked;
    std::printf("# %s: %.2f%% of the %.0f frames the periods ask for\n", run, figures.asked_percent,
                asked);
  }
  if (load.rules) {
    std::printf("# %s: rows 0..3 with rules frames=%llu %s\n", run,
                static_cast<unsigned long long>(ruled.frames()), ruled.stats().Summary().c_str());
    std::printf("# %s: rows 4..7 without frames=%llu %s\n", run,
                static_cast<unsigned long long>(plain.frames()), plain.stats().Summary().c_str());
  }
  std::printf("# %s: %s %s\n", run, cpu.c_str(), pump.Summary(load.seconds).c_str());
  if (sim.dropped_frames() != dropped_before) {
    std::printf("# %s: %lld frames not captured\n", run, sim.dropped_frames() - dropped_before);
  }
  std::fflush(stdout);
  figures.p99_err_us = gaps.stats().Percentile(0.99);
  return figures;
}

// " name=a,b,c"
void PrintList(const char* name, const std::vector<double>& values) {
  std::printf(" %s=", name);
  for (size_t k = 0; k < values.size(); ++k) std::printf(k ? ",%.2f" : "%.2f", values[k]);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n == 0 ? 0.0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// Wait and spin in turn, five times each, at 1 and 2 ms.
void ComparePacings(const Family& family, Window& w, telpod::ZqtClock& clock,
                    telpod::DriverSet& drivers, double seconds) {
  constexpr int kPairs = 5;
  // A first run takes the process's first page faults and cold caches; it
  // belongs to neither pacing.
  Run(family, w, clock, drivers, telpod::bench::Pacing::Wait, Load{1.0, true, 1.0});
  for (const double period_ms : {1.0, 2.0}) {
    std::vector<double> ratios, wait_p99, spin_p99, wait_cpu, asked;
    for (int pair = 0; pair < kPairs; ++pair) {
      const Load load{period_ms, true, seconds};
      const RunFigures wait = Run(family, w, clock, drivers, telpod::bench::Pacing::Wait, load);
      const RunFigures spin = Run(family, w, clock, drivers, telpod::bench::Pacing::Spin, load);
      ratios.push_back(spin.p99_err_us > 0 ? wait.p99_err_us / spin.p99_err_us : 0.0);
      wait_p99.push_back(wait.p99_err_us);
      spin_p99.push_back(spin.p99_err_us);
      wait_cpu.push_back(wait.cpu_percent);
      asked.push_back(wait.asked_percent);
    }
    std::printf(
        "pacing_ratio family=%s period_ms=%g pairs=%d median_p99_ratio_wait_over_spin=%.2f "
        "median_p99_err_us wait=%.2f spin=%.2f median_cpu_share_wait=%.1f%% "
        "min_frames_asked_wait=%.2f%%",
        family.name, period_ms, kPairs, Median(ratios), Median(wait_p99), Median(spin_p99),
        Median(wait_cpu), *std::min_element(asked.begin(), asked.end()));
    PrintList("ratios", ratios);
    PrintList("p99_wait", wait_p99);
    PrintList("p99_spin", spin_p99);
    std::printf("\n");
    std::fflush(stdout);
  }
}

// The simulator's own cost of one accepted write, measured around a tight
// loop of direct calls.
void WriteCost(const char* name, SimControl& sim, const char* log_label, const char* log_target,
               const std::function<void()>& write) {
  sim.set_log(log_target);
  std::vector<cansim_frame> sink(8192);
  constexpr int kWrites = 1'000'000;
  int64_t spent = 0;
  for (int done = 0; done < kWrites; done += 8192) {
    const int64_t start = telpod::bench::NowNs();
    for (int k = 0; k < 8192; ++k) write();
    spent += telpod::bench::NowNs() - start;
    while (sim.take_frames(sink.data(), sink.size()) > 0) {
    }
  }
  sim.set_log("");
  const int writes = (kWrites + 8191) / 8192 * 8192;
  std::printf("# sim_write family=%s log=%s ns_per_write=%.1f\n", name, log_label,
              double(spent) / writes);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_NO_GLIB", "1");  // the event dispatcher the program runs with
  QCoreApplication app(argc, argv);
  const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
  const std::string only = argc > 2 && std::string(argv[2]) != "all" ? argv[2] : "";
  const bool compare = argc > 3 && std::string(argv[3]) == "compare";
  std::string error;
  auto clock = telpod::ZqtClock::Load(telpod::platform::ProgramFolder(), &error);
  telpod::DriverSet drivers;
  for (const auto& report : drivers.LoadAll()) {
    if (!report.loaded) error = report.reason;
  }
  if (!clock || !error.empty()) {
    std::fprintf(stderr, "send_timing: %s\n", error.c_str());
    return 1;
  }
  // Start-up: the simulators' default devices, searched, the first chosen.
  auto* canusb = drivers.Get<telpod::CanusbDriver>();
  auto* ifcan = drivers.Get<telpod::IfCanDriver>();
  auto* canlib = drivers.Get<telpod::CanlibDriver>();
  SimControl usb_sim(canusb->path(), "send_timing");
  SimControl board_sim(ifcan->path(), "send_timing");
  SimControl channel_sim(canlib->path(), "send_timing");
  for (SimControl* sim : {&usb_sim, &board_sim, &channel_sim}) sim->reset();
  telpod::bench::NoPump quiet;
  Window w;
  telpod::Find_CANUSB_Adapters(w.device, w.CAN_d, *canusb, quiet);
  w.CAN_d.set_CAN_USB_SelectNo(1);
  w.CAN_d.set_CAN_USB_SelectSerial(w.CAN_d.CAN_USB_FindSerialNo(1));
  telpod::Find_Interface_Boards(w.device, w.IfCan_u, w.IfCan_d, *ifcan, quiet);
  w.IfCan_d.set_Interface_CAN_SelectNo(1);
  telpod::Find_Kvaser_Channels(w.device, w.kvCan_u, w.kvCan_d, *canlib, quiet);
  w.kvCan_d.set_KvCAN_SelectNo(1);

  const Family families[] = {
      {"canusb", &usb_sim,
       [](telpod::FormBG& f, Window& win) {
         f.Open_CANUSB(win.device, win.CAN_u, win.CAN_d, win.db);
       }},
      {"ifcan", &board_sim,
       [](telpod::FormBG& f, Window& win) {
         f.Open_InterfaceCAN(win.device, win.IfCan_u, win.IfCan_d, win.db);
       }},
      {"kvaser", &channel_sim,
       [](telpod::FormBG& f, Window& win) {
         f.Open_KvaserCAN(win.device, win.kvCan_u, win.kvCan_d, win.db);
       }},
  };
  const Load loads[] = {{1.0, true, seconds},       {10.0, true, seconds},
                        {100.0, true, seconds},     {0.0, true, seconds},
                        {100.0, false, 5.0},        {1.0, true, seconds, true},
                        {10.0, true, seconds, true}};
  for (const Family& family : families) {
    if (!only.empty() && only != family.name) continue;
    if (compare) {
      ComparePacings(family, w, *clock, drivers, seconds);
      continue;
    }
    for (const Load& load : loads) {
      for (auto pacing : {telpod::bench::Pacing::Wait, telpod::bench::Pacing::Spin}) {
        Run(family, w, *clock, drivers, pacing, load);
      }
    }
  }

  if (compare) return 0;

  // The simulators' own cost per write, log off and buffered (to /dev/null).
  CANMsg msg{};
  msg.id = 0x7DF;
  msg.len = 8;
  const int32_t usb = canusb->Open(w.CAN_d.CAN_USB_FindSerialNo(1), "500", 0, -1, 1);
  auto usb_write = [&] { canusb->canusb_Write(usb, &msg); };
  WriteCost("canusb", usb_sim, "off", "", usb_write);
  WriteCost("canusb", usb_sim, "buffered", "/dev/null", usb_write);
  canusb->Close(usb);

  uint8_t record[24] = {8, 0, 0, 0, 0, 0, 0, 0, 0xDF, 0x07};
  const int32_t port = ifcan->OpenPort(w.IfCan_d.Interface_CAN_FindNo(1));
  auto board_write = [&] { ifcan->CanSendMessage(port, record, 1); };
  WriteCost("ifcan", board_sim, "off", "", board_write);
  WriteCost("ifcan", board_sim, "buffered", "/dev/null", board_write);
  ifcan->CanClosePort(port);

  uint8_t data[9] = {};
  const canHandle channel = canlib->canOpenChannel(w.kvCan_d.Kvaser_DevChannel(0), 0x80);
  auto channel_write = [&] { canlib->canWrite(channel, 0x7DF, data, 8, 2); };
  WriteCost("kvaser", channel_sim, "off", "", channel_write);
  WriteCost("kvaser", channel_sim, "buffered", "/dev/null", channel_write);
  canlib->canClose(channel);
  return 0;
}
