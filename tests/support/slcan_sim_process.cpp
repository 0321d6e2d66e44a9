#include "support/slcan_sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace telpod::test {

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The first line the child writes to `fd`, waiting at most ten seconds.
std::string FirstLine(int fd) {
  std::string line;
  char c = 0;
  pollfd entry{fd, POLLIN, 0};
  while (::poll(&entry, 1, 10'000) > 0 && ::read(fd, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

}  // namespace

SlcanSimProcess::SlcanSimProcess(const std::string& config)
    : frame_log_(folder_.File("frames.log")), command_log_(folder_.File("commands.log")) {
  const std::string config_file = folder_.File("sim.conf");
  WriteFile(config_file, config);
  // The environment is made before the fork: the child only execs.
  std::vector<std::string> settings{"CANSIM_CONFIG=" + config_file, "CANSIM_LOG=" + frame_log_,
                                    "CANSIM_COMMAND_LOG=" + command_log_};
  std::vector<char*> env;
  for (auto& s : settings) env.push_back(s.data());
  for (char** e = environ; *e; ++e) env.push_back(*e);
  env.push_back(nullptr);
  const std::string program = std::string(TELPOD_PROGRAM_DIR) + "/drivers/slcan-sim";
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};

  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  pid_ = ::fork();
  if (pid_ == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    ::dup2(out[1], STDOUT_FILENO);
    ::execve(program.c_str(), argv, env.data());
    ::_exit(127);
  }
  ::close(out[1]);
  const std::string ports = FirstLine(out[0]);
  ::close(out[0]);
  for (size_t start = 0; start < ports.size();) {
    const size_t colon = std::min(ports.find(':', start), ports.size());
    ports_.push_back(ports.substr(start, colon - start));
    start = colon + 1;
  }
}

SlcanSimProcess::~SlcanSimProcess() {
  Stop();
}

void SlcanSimProcess::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

std::string SlcanSimProcess::PortList() const {
  std::string list;
  for (const auto& port : ports_) list += (list.empty() ? "" : ":") + port;
  return list;
}

std::vector<std::string> SlcanSimProcess::Commands() const {
  return Lines(ReadFile(command_log_));
}

std::vector<std::string> SlcanSimProcess::Frames() const {
  auto lines = Lines(ReadFile(frame_log_));
  for (auto& line : lines) line.erase(0, line.find(") ") + 2);
  return lines;
}

}  // namespace telpod::test
