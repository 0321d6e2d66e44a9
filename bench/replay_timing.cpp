// A recorded log replayed as the program replays it: a candump log of 20
// identifiers at periods from 1 to 1000 ms plus a burst of 16 frames every
// second, played through FormBG's connection over each simulated family
// with the real clock library and the window's Qt event pump. Each frame's
// lateness is the simulator's capture time against its deadline (the
// replay's start plus the frame's recorded offset), the drift the played
// length less the recorded one. Then python-can's own player
// (python3 -m can.player, Debian's python3-can) plays the same log on its
// virtual bus, and its figures are printed beside ours.
//
//   replay_timing [seconds of log, default 60] [family: canusb, ifcan or kvaser]
#include <stdlib.h>

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "devices/canusb/canusb_driver.h"
#include "devices/device_discovery.h"
#include "devices/device_selection.h"
#include "devices/driver_check.h"
#include "devices/family_set.h"
#include "devices/form_bg.h"
#include "devices/ifcan/ifcan_driver.h"
#include "devices/kvaser/canlib_driver.h"
#include "devices/socketcan/linux_socketcan_system.h"
#include "paced_pump.h"
#include "platform/program_folder.h"
#include "send/zqt_clock.h"
#include "settings/logs/recorded_log.h"
#include "sim_bench.h"
#include "timing_stats.h"

namespace {

using telpod::bench::SimControl;

constexpr const char* kProgram = "replay_timing";
constexpr double kPeriodsMs[] = {1,   2,   5,   10,  10,  20,  20,  25,   50,   50,
                                 100, 100, 100, 200, 250, 500, 500, 1000, 1000, 1000};
constexpr int kBurstFrames = 16;
constexpr int64_t kBurstEveryUs = 1'000'000;
constexpr int64_t kLogStartS = 1'700'000'000;

struct LoggedFrame {
  int64_t us;  // after the log's first frame
  uint32_t id;
};

// 20 identifiers, each at its period with a phase of its own, and a burst
// of 16 frames at one instant half-way through every second.
std::vector<LoggedFrame> Traffic(double seconds) {
  const auto end_us = static_cast<int64_t>(seconds * 1e6);
  std::vector<LoggedFrame> frames;
  for (size_t i = 0; i < std::size(kPeriodsMs); ++i) {
    const auto period_us = static_cast<int64_t>(kPeriodsMs[i] * 1000);
    for (int64_t t = static_cast<int64_t>(i) * 37; t < end_us; t += period_us) {
      frames.push_back({t, static_cast<uint32_t>(0x100 + i)});
    }
  }
  for (int64_t t = kBurstEveryUs / 2; t < end_us; t += kBurstEveryUs) {
    for (int k = 0; k < kBurstFrames; ++k) frames.push_back({t, static_cast<uint32_t>(0x700 + k)});
  }
  std::stable_sort(frames.begin(), frames.end(),
                   [](const LoggedFrame& a, const LoggedFrame& b) { return a.us < b.us; });
  const int64_t first = frames.front().us;
  for (auto& f : frames) f.us -= first;
  return frames;
}

void WriteLog(const std::string& path, const std::vector<LoggedFrame>& frames) {
  std::ofstream out(path);
  char line[64];
  uint8_t counter = 0;
  for (const auto& f : frames) {
    std::snprintf(line, sizeof line, "(%lld.%06lld) can0 %03X#%02X00000000000000\n",
                  static_cast<long long>(kLogStartS + f.us / 1'000'000),
                  static_cast<long long>(f.us % 1'000'000), f.id, counter++);
    out << line;
  }
}

// The frames a simulator captured, with their monotonic times.
class Capture {
 public:
  explicit Capture(SimControl& sim) : sim_(sim), buffer_(4096) {}
  void Drain() {
    for (size_t n; (n = sim_.take_frames(buffer_.data(), buffer_.size())) > 0;) {
      for (size_t k = 0; k < n; ++k) times_ms_.push_back(double(buffer_[k].monotonic_ns) / 1e6);
    }
  }
  const std::vector<double>& times_ms() const { return times_ms_; }

 private:
  SimControl& sim_;
  std::vector<cansim_frame> buffer_;
  std::vector<double> times_ms_;
};

// "frames=N lateness_us p50=X p99=X max=X drift_ms=X"
std::string Figures(const std::vector<LoggedFrame>& log, const std::vector<double>& sent_ms,
                    double start_ms) {
  telpod::bench::ErrorStats lateness;
  const size_t n = std::min(log.size(), sent_ms.size());
  for (size_t k = 0; k < n; ++k) {
    lateness.Add((sent_ms[k] - (start_ms + double(log[k].us) / 1000.0)) * 1000.0);
  }
  const double drift_ms = n == 0 ? 0 : sent_ms[n - 1] - start_ms - double(log[n - 1].us) / 1000.0;
  char line[160];
  std::snprintf(line, sizeof line,
                "frames=%zu lateness_us p50=%.1f p99=%.1f max=%.1f drift_ms=%.3f", sent_ms.size(),
                lateness.Percentile(0.5), lateness.Percentile(0.99), lateness.max(), drift_ms);
  return line;
}

struct Simulated {
  const char* name;
  telpod::Family family;
  std::unique_ptr<SimControl> sim;
};

// One replay of the log over the chosen device of `simulated`'s family.
void Replay(telpod::FamilySet& families, Simulated& simulated, telpod::ZqtClock& clock,
            const std::string& path, const std::vector<LoggedFrame>& log, double seconds) {
  telpod::LogOpening opened = telpod::OpenRecordedLog(path);
  if (!opened.frames) {
    std::fprintf(stderr, "%s: %s\n", kProgram, opened.error.c_str());
    return;
  }
  telpod::ReplaySlot slot;
  slot.Load(
      std::make_unique<telpod::ReplaySchedule>(std::move(opened.frames), telpod::ReplayOptions{}));
  Capture capture(*simulated.sim);
  int32_t RxFlag = 0;
  telpod::bench::PacedPump pump(telpod::bench::Pacing::Wait, RxFlag, seconds + 10.0, [&] {
    capture.Drain();
    if (slot.schedule()->Finished()) RxFlag = 0;
  });
  telpod::bench::NoView view;
  telpod::bench::StderrMessages messages(kProgram);
  telpod::CAN_SendDB rows;
  telpod::FormBG form(RxFlag, clock, view, messages, pump, families.drivers, {.replay = &slot});
  const telpod::bench::CpuShare share;
  form.Open_ChosenDevice(families, rows);
  const std::string cpu = share.Summary();
  capture.Drain();
  const telpod::ReplaySummary s = slot.schedule()->Summary();
  std::printf("replay_timing family=%s %s\n", simulated.name,
              Figures(log, capture.times_ms(), s.start_ms).c_str());
  std::printf(
      "# family=%s: %s %s\n# family=%s: at hand-over p50/p99/max_us=%.1f/%.1f/%.1f "
      "recorded_s=%.3f played_s=%.3f sent=%lld refused=%lld\n",
      simulated.name, cpu.c_str(), pump.Summary(seconds).c_str(), simulated.name,
      s.lateness_p50_ms * 1000, s.lateness_p99_ms * 1000, s.lateness_max_ms * 1000,
      s.recorded_ms / 1000, s.played_ms / 1000, static_cast<long long>(s.sent),
      static_cast<long long>(s.refused));
  std::fflush(stdout);
}

// Chooses the first device of `family` in the device list; false when it
// has none.
bool ChooseFirstOf(telpod::FamilySet& families, telpod::Family family, int32_t entries) {
  for (int32_t position = 1; position <= entries; ++position) {
    families.device.set_t_CmbBOX_device_SelectNo(position);
    telpod::Show_SelectedDevice_Info(families);
    if (families.device.t_select_Vender() == telpod::FamilyNumber(family)) return true;
  }
  return false;
}

class Listing : public telpod::DiscoveryProgress {
 public:
  void Progress(double) override {}
  void Judging() override {}
  void AddEntry(const std::string&) override { ++entries; }
  int32_t entries = 0;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_NO_GLIB", "1");  // the event dispatcher the program runs with
  QCoreApplication app(argc, argv);
  const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
  const std::string only = argc > 2 ? argv[2] : "";
  std::string error;
  auto clock = telpod::ZqtClock::Load(telpod::platform::ProgramFolder(), &error);
  if (!clock) {
    std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
    return 1;
  }
  char folder_template[] = "/tmp/replay_timing.XXXXXX";
  const char* folder = mkdtemp(folder_template);
  if (folder == nullptr) return 1;
  const std::string path = std::string(folder) + "/traffic.log";
  const auto log = Traffic(seconds);
  WriteLog(path, log);
  std::printf(
      "# log: %s, %zu frames over %.3f s, 20 identifiers at 1..1000 ms, a burst of %d "
      "every second\n",
      path.c_str(), log.size(), double(log.back().us) / 1e6, kBurstFrames);

  telpod::ELM327_Info device;
  telpod::FamilyObjects objects;
  telpod::LinuxSocketCanSystem kernel;
  telpod::FamilySet families(device, objects, kernel);
  telpod::CAN_SendDB table;
  telpod::Reset_Shared_Objects(families, table);
  telpod::bench::StderrMessages messages(kProgram);
  const int32_t mask =
      telpod::Check_DriverLibraries(families, messages, "replay_timing", std::cerr, kProgram);
  telpod::bench::NoPump quiet;
  Listing listing;
  if (mask < 1 || !telpod::Find_Devices(mask, families, quiet, listing)) return 1;

  Simulated simulated[] = {
      {"canusb", telpod::Family::CANUSB,
       std::make_unique<SimControl>(families.drivers.Get<telpod::CanusbDriver>()->path(),
                                    kProgram)},
      {"ifcan", telpod::Family::Interface,
       std::make_unique<SimControl>(families.drivers.Get<telpod::IfCanDriver>()->path(), kProgram)},
      {"kvaser", telpod::Family::Kvaser,
       std::make_unique<SimControl>(families.drivers.Get<telpod::CanlibDriver>()->path(),
                                    kProgram)},
  };
  for (Simulated& s : simulated) {
    if (!only.empty() && only != s.name) continue;
    if (!ChooseFirstOf(families, s.family, listing.entries)) continue;
    Replay(families, s, *clock, path, log, seconds);
  }

  // python-can's player on the same log, on its virtual bus.
  const std::string python = "/usr/bin/python3 " TELPOD_BENCH_DIR "/python_can_player.py " + path;
  std::fflush(stdout);
  if (std::system(python.c_str()) != 0) std::printf("# python-can's player did not run\n");
  std::filesystem::remove_all(folder);
  return 0;
}
