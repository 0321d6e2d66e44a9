// The built telpod-send as a user runs it: a process of its own, in a
// program folder with the clock library and the simulators beside it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>

#include "platform/driver_folders.h"
#include "support/sim_control.h"
#include "support/temp_folder.h"

extern char** environ;

namespace telpod {
namespace {

using Lines = std::vector<std::string>;

Lines LinesOf(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// "7DF#1112" of "(1733480000.123456) canusb0 7DF#1112".
Lines FramesOf(const Lines& lines) {
  Lines frames;
  for (const auto& line : lines) frames.push_back(line.substr(line.rfind(' ') + 1));
  return frames;
}

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

  // Starts it with the simulators configured by `config` ("" = their
  // default devices), the bus log in bus.log, its output in out and err.
  pid_t Start(const Lines& arguments, const std::string& config = "") {
    std::vector<std::string> environment{"CANSIM_LOG=" + folder.File("bus.log")};
    if (!config.empty()) {
      test::WriteFile(folder.File("sim.conf"), config);
      environment.push_back("CANSIM_CONFIG=" + folder.File("sim.conf"));
    }
    for (char** e = environ; *e != nullptr; ++e) {
      if (std::string_view(*e).rfind("CANSIM_", 0) != 0) environment.emplace_back(*e);
    }
    Lines argv_text{folder.File("telpod-send")};
    argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, folder.File("out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, folder.File("err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const auto argv = Pointers(argv_text);
    const auto envp = Pointers(environment);
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }
  // Its exit status, or -1 when it did not end by itself.
  static int Wait(pid_t pid) {
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }
  int Run(const Lines& arguments, const std::string& config = "") {
    return Wait(Start(arguments, config));
  }
  std::string Out() const { return test::ReadFile(folder.File("out")); }
  std::string Err() const { return test::ReadFile(folder.File("err")); }

  test::TempFolder folder;

 private:
  static std::vector<char*> Pointers(Lines& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
  }
};

TEST_F(TelpodSendProgram, EachExitStatus) {
  const std::string demo = std::string(TELPOD_SOURCE_DIR) + "/scripts/demo-rows.csv";
  test::WriteFile(folder.File("garbage.xls"), "not a workbook");
  struct Case {
    Lines arguments;
    std::string config;
    int status;
    const char* says;  // on standard error, or on standard output for --help
  };
  const Case cases[] = {
      {{"--help"}, "", 0, "Usage: telpod-send"},
      {{"--seconds"}, "", 2, "telpod-send: --seconds needs a value\n"},
      {{"--list"}, "# no devices at all\n", 3, "telpod-send: No device was found.\n"},
      {{"--device", "2", "--rate", "20k"},
       "canusb serial=LW000001\nifcan port=1\n",
       4,
       "telpod-send: The selected bit rate is not supported.\n"},
      {{"--rows", folder.File("garbage.xls")},
       "",
       5,
       "telpod-send: Importing the settings failed.\n"},
      {{"--rows", demo, "--seconds", "0.3"}, "", 0, " frames written, 0 failed writes, 0.3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    EXPECT_EQ(Run(c.arguments, c.config), c.status) << Err();
    const std::string said = c.arguments.front() == "--help" ? Out() : Err();
    EXPECT_NE(said.find(c.says), std::string::npos) << said;
  }
  const std::regex frame_line(
      R"(\(\d+\.\d{6}\) canusb-LWSIM001 ([0-9A-F]{3}|[0-9A-F]{8})#([0-9A-F]{2})*)");
  const Lines lines = LinesOf(Out());
  ASSERT_FALSE(lines.empty());
  for (const auto& line : lines) EXPECT_TRUE(std::regex_match(line, frame_line)) << line;
  EXPECT_FALSE(std::filesystem::exists(folder.File("config.dat")));
}

// Ctrl+C while frames go out ends the run in order: the device is closed,
// which sends the simulator's last log lines out, and every frame printed
// is a frame the bus saw.
TEST_F(TelpodSendProgram, SigintClosesTheDeviceAndEndsWithTheSummary) {
  const pid_t pid = Start({"--rows", std::string(TELPOD_SOURCE_DIR) + "/scripts/demo-rows.csv"});
  ASSERT_GT(pid, 0);
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (LinesOf(Out()).size() < 3 && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(::kill(pid, SIGINT), 0);
  ASSERT_EQ(Wait(pid), 0) << Err();
  const Lines printed = LinesOf(Out());
  ASSERT_GE(printed.size(), 3u);
  EXPECT_EQ(FramesOf(LinesOf(test::ReadFile(folder.File("bus.log")))), FramesOf(printed));
  const Lines err = LinesOf(Err());
  ASSERT_FALSE(err.empty());
  EXPECT_EQ(err.back().rfind("telpod-send: " + std::to_string(printed.size()) +
                                 " frames written, 0 failed writes, ",
                             0),
            0u)
      << Err();
  EXPECT_FALSE(std::filesystem::exists(folder.File("config.dat")));
}

}  // namespace
}  // namespace telpod
