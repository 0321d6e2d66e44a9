// What waiting for each frame's answer costs a serial-line adapter's
// connection: frames sent one after the other through the family to the
// simulated adapter on a pseudo-terminal for a few seconds, each answered
// before the next goes. Prints frames per second and the time per frame;
// a real adapter behind USB adds its own latency on top.
//
//   slcan_round_trip [seconds, default 3]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "devices/slcan/slcan_connection.h"

namespace {

using Clock = std::chrono::steady_clock;

// The simulator as a child, and the pseudo-terminal it names first.
pid_t StartSimulator(std::string& port) {
  int out[2];
  if (::pipe(out) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::setenv("CANSIM_CONFIG", "", 1);
    ::unsetenv("CANSIM_LOG");
    const std::string program = std::string(TELPOD_PROGRAM_DIR) + "/drivers/slcan-sim";
    ::execl(program.c_str(), program.c_str(), nullptr);
    ::_exit(127);
  }
  ::close(out[1]);
  char c;
  while (::read(out[0], &c, 1) == 1 && c != '\n') port += c;
  ::close(out[0]);
  return pid;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  telpod::slcan::Adapter adapter;
  const pid_t sim = StartSimulator(adapter.port);
  telpod::slcan::SlcanConnection family(&adapter);
  if (sim < 0 || !family.SelectRate(2) || !family.Open()) {
    std::fprintf(stderr, "slcan_round_trip: the simulated adapter did not open\n");
    return 1;
  }
  const telpod::CanFrame frame{0x18DAF110, true, false, 8, {1, 2, 3, 4, 5, 6, 7, 8}};
  std::vector<double> us;
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < end) {
    const auto start = Clock::now();
    family.Send(frame);
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  family.Close();
  ::kill(sim, SIGTERM);
  ::waitpid(sim, nullptr, 0);
  std::sort(us.begin(), us.end());
  const auto at = [&](double p) { return us[static_cast<size_t>(p * double(us.size() - 1))]; };
  std::printf(
      "slcan frames=%zu failed=%lld frames_per_s=%.0f p50_us=%.1f p99_us=%.1f max_us=%.1f\n",
      us.size(), static_cast<long long>(family.FailedWrites()), double(us.size()) / seconds,
      at(0.5), at(0.99), us.back());
  return 0;
}
