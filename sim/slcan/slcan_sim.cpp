// slcan-sim: simulated serial-line CAN adapters, each answering the Lawicel
// command set on a pseudo-terminal of its own, until SIGTERM, SIGINT or
// SIGHUP. Its first line on standard output names the pseudo-terminals,
// separated by ':', ready for TELPOD_SERIAL_PORTS.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/candump_log.h"
#include "core/clock.h"
#include "core/config.h"
#include "slcan/pseudo_terminal.h"
#include "slcan/slcan_adapter.h"

namespace {

using namespace cansim;

constexpr const char* kUsage =
    "Usage: slcan-sim\n"
    "Simulated serial-line CAN adapters (the Lawicel ASCII command set), one per\n"
    "\"slcan\" line of the file CANSIM_CONFIG names (without it: one adapter), each\n"
    "on a pseudo-terminal. The first line printed names them, separated by ':'.\n"
    "Frames go to CANSIM_LOG as candump log lines (\"-\" = standard output), the\n"
    "commands as received to CANSIM_COMMAND_LOG, one \"<adapter> <command>\" line\n"
    "each. Runs until SIGTERM, SIGINT or SIGHUP.\n";

// A command longer than any the set knows is refused when its CR comes.
constexpr size_t kLongestCommand = 64;

// Every command as received, written before its answer goes out, so a
// program that has the answer finds the command in the file.
class CommandLog {
 public:
  CommandLog() {
    const char* path = std::getenv("CANSIM_COMMAND_LOG");
    if (path && *path) fd_ = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  }
  ~CommandLog() {
    if (fd_ >= 0) ::close(fd_);
  }
  void Write(const std::string& adapter, std::string_view command) {
    if (fd_ < 0) return;
    const std::string line = adapter + " " + std::string(command) + "\n";
    if (::write(fd_, line.data(), line.size()) < 0) return;  // a lost line is all
  }

 private:
  int fd_ = -1;
};

struct Line {
  PseudoTerminal terminal;
  std::unique_ptr<SlcanAdapter> adapter;
  std::string pending;  // the command not yet ended by CR
};

// Takes each complete command off `line` and sends its answer.
void Serve(Line& line, CommandLog& commands) {
  size_t end;
  while ((end = line.pending.find('\r')) != std::string::npos) {
    std::string command = line.pending.substr(0, end);
    line.pending.erase(0, end + 1);
    commands.Write(line.adapter->name(), command);
    const bool too_long = command.size() > kLongestCommand;
    line.terminal.Write(too_long ? "\a" : line.adapter->Answer(command));
  }
  if (line.pending.size() > 4 * kLongestCommand) line.pending.erase(0, 2 * kLongestCommand);
}

int Run(const Config& config, const sigset_t& running_mask) {
  CandumpLog log;
  log.OpenNamedLogs();
  CommandLog commands;
  FrameClock clock;
  SlcanAdapter::Bus bus{
      [&](const WireFrame& frame) { log.Write(clock.ToRealtime(clock.Monotonic()), frame); },
      [&] { log.Flush(); }};

  std::vector<std::unique_ptr<Line>> lines;
  std::string ports;
  for (const auto& setup : config.serial_adapters) {
    auto line = std::make_unique<Line>();
    if (!line->terminal.ok()) {
      std::fprintf(stderr, "slcan-sim: no pseudo-terminal: %s\n", std::strerror(errno));
      return 1;
    }
    line->adapter = std::make_unique<SlcanAdapter>(setup, static_cast<int32_t>(lines.size()), bus);
    ports += (ports.empty() ? "" : ":") + line->terminal.path();
    lines.push_back(std::move(line));
  }
  std::printf("%s\n", ports.c_str());
  std::fflush(stdout);

  std::vector<pollfd> watched;
  for (const auto& line : lines) watched.push_back({line->terminal.fd(), POLLIN, 0});
  // Signals come only while waiting here, so none is lost between passes.
  while (::ppoll(watched.data(), watched.size(), nullptr, &running_mask) >= 0) {
    for (size_t i = 0; i < lines.size(); ++i) {
      if ((watched[i].revents & POLLIN) && lines[i]->terminal.Read(lines[i]->pending)) {
        Serve(*lines[i], commands);
      }
    }
  }
  log.Flush();
  return errno == EINTR ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
    std::fputs(kUsage, help ? stdout : stderr);
    return help ? 0 : 2;
  }
  // The stop signals are held back, and let through only inside ppoll.
  sigset_t stops, running_mask;
  sigemptyset(&stops);
  for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stops, s);
  sigprocmask(SIG_BLOCK, &stops, &running_mask);
  struct sigaction ends_the_wait {};
  ends_the_wait.sa_handler = [](int) {};
  for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &ends_the_wait, nullptr);
  return Run(ConfigAtStart("slcan-sim"), running_mask);
}
