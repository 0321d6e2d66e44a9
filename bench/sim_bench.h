#pragma once

// What the benchmarks that run connections over the simulated drivers
// share: the simulators' control functions, a window that shows nothing,
// and the processor time a run took.
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cansim_control.h"
#include "platform/dynamic_library.h"
#include "send/connection_skeleton.h"

namespace telpod::bench {

// The simulator's control functions, reached through the library the
// binding loaded; `program` names the benchmark when one is missing.
struct SimControl {
  SimControl(const std::string& path, const char* program) {
    if (!library.Open(path) || !library.Resolve("cansim_reset", reset) ||
        !library.Resolve("cansim_take_frames", take_frames) ||
        !library.Resolve("cansim_dropped_frames", dropped_frames) ||
        !library.Resolve("cansim_set_log", set_log)) {
      std::fprintf(stderr, "%s: %s\n", program, library.error().c_str());
      std::exit(1);
    }
  }
  platform::DynamicLibrary library;
  decltype(&cansim_reset) reset = nullptr;
  decltype(&cansim_take_frames) take_frames = nullptr;
  decltype(&cansim_dropped_frames) dropped_frames = nullptr;
  decltype(&cansim_set_log) set_log = nullptr;
};

class NoView : public ConnectionView {
 public:
  void set_TB_Status(const std::string&) override {}
  void set_TB_Protocol(const std::string&) override {}
  void LoopStarted(LiveConnection&) override {}
  void LoopEnded(LiveConnection&) override {}
};

// Start-up's searches without window events to run.
class NoPump : public platform::EventPump {
 public:
  void DoEvents() override {}
};

class StderrMessages : public platform::MessageBoxes {
 public:
  explicit StderrMessages(const char* program) : program_(program) {}
  void Show(const std::string& text, const std::string&, platform::MessageIcon) override {
    std::fprintf(stderr, "%s: message: %s\n", program_, text.c_str());
  }

 private:
  const char* program_;
};

inline int64_t NowNs(clockid_t clock = CLOCK_MONOTONIC) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// The machine's busy and stolen processor time so far, in clock ticks
// (/proc/stat), to tell a quiet run from one that shared the machine.
struct MachineTicks {
  MachineTicks() {
    std::FILE* stat = std::fopen("/proc/stat", "r");
    if (!stat) return;
    long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0;
    if (std::fscanf(stat, "cpu %lld %lld %lld %lld %lld %lld %lld %lld", &user, &nice, &system,
                    &idle, &iowait, &irq, &softirq, &steal) == 8) {
      busy = user + nice + system + irq + softirq;
    }
    std::fclose(stat);
  }
  long long busy = 0, steal = 0;
};

// The process's CPU time over the wall time of a run, and how often the
// loop's thread was pre-empted: on a busy machine periods that pass while it
// is off the processor are not caught up. `others` is what the rest of the
// machine used meanwhile and `steal` what the host took, in shares of one
// processor.
class CpuShare {
 public:
  CpuShare() : wall_(NowNs()), cpu_(NowNs(CLOCK_PROCESS_CPUTIME_ID)), usage_(ThreadUsage()) {}
  double Percent() const {
    return 100.0 * double(NowNs(CLOCK_PROCESS_CPUTIME_ID) - cpu_) / double(NowNs() - wall_);
  }
  // "cpu_share=X% preemptions=N page_faults=N others=X% steal=X%"; the page
  // faults are the thread's own, minor and major, during the run.
  std::string Summary() const {
    const double wall = double(NowNs() - wall_);
    const double cpu = double(NowNs(CLOCK_PROCESS_CPUTIME_ID) - cpu_);
    const rusage usage = ThreadUsage();
    const MachineTicks now;
    const double tick_ns = 1e9 / double(sysconf(_SC_CLK_TCK));
    const double others = double(now.busy - ticks_.busy) * tick_ns - cpu;
    char line[160];
    std::snprintf(line, sizeof line,
                  "cpu_share=%.1f%% preemptions=%ld page_faults=%ld others=%.0f%% steal=%.0f%%",
                  100.0 * cpu / wall, usage.ru_nivcsw - usage_.ru_nivcsw,
                  usage.ru_minflt + usage.ru_majflt - usage_.ru_minflt - usage_.ru_majflt,
                  std::max(0.0, 100.0 * others / wall),
                  100.0 * double(now.steal - ticks_.steal) * tick_ns / wall);
    return line;
  }

 private:
  static rusage ThreadUsage() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage;
  }
  int64_t wall_, cpu_;
  rusage usage_;
  MachineTicks ticks_;
};

}  // namespace telpod::bench
