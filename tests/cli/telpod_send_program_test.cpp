// The built telpod-send as a user runs it: a process of its own, in a
// program folder with the clock library and the simulators beside it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "platform/driver_folders.h"
#include "send_program.h"
#include "support/scoped_environment.h"
#include "support/sim_control.h"
#include "support/temp_folder.h"

extern char** environ;

namespace telpod {
namespace {

using test::FramesOf;
using test::LinesOf;
using Lines = std::vector<std::string>;

class TelpodSendProgram : public ::testing::Test {
 protected:
  TelpodSendProgram() {
    namespace fs = std::filesystem;
    fs::copy_file(TELPOD_SEND_PATH, folder.File("telpod-send"));
    fs::create_symlink(std::string(TELPOD_PROGRAM_DIR) + "/libzqt100.so",
                       folder.File("libzqt100.so"));
    fs::create_directory(folder.File("drivers"));
    for (const char* file : {platform::kCanusbLibraryFile, platform::kIfCanLibraryFile,
                             platform::kCanlibLibraryFile}) {
      fs::create_symlink(test::SimulatorPath(file), folder.File(std::string("drivers/") + file));
    }
  }

  // Starts it with the simulators at their default devices, the bus log in
  // bus.log, its output in out and err.
  // `wrapper` ("nohup") runs it, if given. It starts with SIGHUP's default
  // disposition, as a program started from a terminal has it.
  pid_t Start(Lines arguments, const Lines& wrapper = {}) {
    const test::ScopedEnvironment log("CANSIM_LOG", folder.File("bus.log")),
        config("CANSIM_CONFIG", std::nullopt), raw("CANSIM_RAW_LOG", std::nullopt);
    arguments.insert(arguments.begin(), folder.File("telpod-send"));
    arguments.insert(arguments.begin(), wrapper.begin(), wrapper.end());
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, folder.File("out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, folder.File("err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t hang_up;
    sigemptyset(&hang_up);
    sigaddset(&hang_up, SIGHUP);
    posix_spawnattr_setsigdefault(&attributes, &hang_up);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }
  // Its exit status, or -1 when it did not end by itself.
  static int Wait(pid_t pid) {
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }
  std::string Out() const { return test::ReadFile(folder.File("out")); }
  // Waits until at least `count` frame lines are out; false after 30 s.
  bool OutHasLines(size_t count) const {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (LinesOf(Out()).size() < count) {
      if (std::chrono::steady_clock::now() > give_up) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }
  std::string Err() const { return test::ReadFile(folder.File("err")); }

  test::TempFolder folder;
  const std::string demo = std::string(TELPOD_SOURCE_DIR) + "/scripts/demo-rows.csv";
};

// The help on standard output, a usage error's status, and a timed run on
// the real clock whose frame lines end the output.
TEST_F(TelpodSendProgram, HelpUsageAndATimedRun) {
  // The arguments, the status, whether it answers on standard output, and
  // what it says there.
  const std::tuple<Lines, int, bool, const char*> cases[] = {
      {{"--help"}, 0, true, "Usage: telpod-send"},
      {{"--version"}, 0, true, "telpod-send " TELPOD_VERSION "\n"},
      {{"--seconds"}, 2, false, "telpod-send: --seconds needs a value\n"},
      {{"--rows", demo, "--seconds", "0.3"}, 0, false, " frames written, 0 failed writes, 0.3"},
  };
  for (const auto& [arguments, status, on_out, says] : cases) {
    EXPECT_EQ(Wait(Start(arguments)), status) << Err();
    const std::string said = on_out ? Out() : Err();
    EXPECT_NE(said.find(says), std::string::npos) << said;
  }
  const std::regex frame_line(
      R"(\(\d+\.\d{6}\) canusb-LWSIM001 ([0-9A-F]{3}|[0-9A-F]{8})#([0-9A-F]{2})*)");
  const Lines lines = LinesOf(Out());
  ASSERT_FALSE(lines.empty());
  for (const auto& line : lines) EXPECT_TRUE(std::regex_match(line, frame_line)) << line;
  EXPECT_FALSE(std::filesystem::exists(folder.File("config.dat")));
}

// Ctrl+C, or a hang-up as a dropped SSH session sends it, while frames go
// out ends the run in order: the device is closed, which sends the
// simulator's last log lines out, and every frame printed is a frame the
// bus saw. Under nohup the hang-up is left alone and the run goes on.
TEST_F(TelpodSendProgram, AStopSignalClosesTheDeviceAndEndsWithTheSummary) {
  const std::pair<Lines, std::vector<int>> cases[] = {
      {{}, {SIGINT}}, {{}, {SIGHUP}}, {{"/usr/bin/nohup"}, {SIGHUP, SIGINT}}};
  for (const auto& [wrapper, signals] : cases) {
    SCOPED_TRACE(signals.front());
    std::filesystem::remove(folder.File("bus.log"));
    const pid_t pid = Start({"--rows", demo}, wrapper);
    ASSERT_GT(pid, 0);
    size_t lines = 3;
    for (const int signal_number : signals) {
      ASSERT_TRUE(OutHasLines(lines)) << Err();
      ASSERT_EQ(::kill(pid, signal_number), 0);
      lines = LinesOf(Out()).size() + 3;
    }
    ASSERT_EQ(Wait(pid), 0) << Err();
    const Lines printed = LinesOf(Out());
    ASSERT_GE(printed.size(), signals.size() * 3);
    EXPECT_EQ(FramesOf(LinesOf(test::ReadFile(folder.File("bus.log")))), FramesOf(printed));
    const Lines err = LinesOf(Err());
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.back().rfind("telpod-send: " + std::to_string(printed.size()) +
                                   " frames written, 0 failed writes, ",
                               0),
              0u)
        << Err();
  }
  EXPECT_FALSE(std::filesystem::exists(folder.File("config.dat")));
}

}  // namespace
}  // namespace telpod
