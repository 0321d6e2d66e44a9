// The program itself on the command line: --help and --version answer
// without a display, and the program finds its folder through a link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace telpod {
namespace {

const std::string kProgram = std::string(TELPOD_PROGRAM_DIR) + "/telpod";

struct Outcome {
  int status = -1;
  std::string out;
};

// Runs `program` with `arguments` in an environment holding only `env`: no
// DISPLAY, no WAYLAND_DISPLAY, no QT_QPA_PLATFORM.
Outcome RunProgram(const std::string& program, const std::string& arguments,
                   const std::string& env) {
  const std::string command =
      "env -i PATH=/usr/bin:/bin " + env + " '" + program + "' " + arguments + " 2>&1";
  Outcome outcome;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return outcome;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) outcome.out.append(buffer, n);
  const int status = ::pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

TEST(CommandLine, VersionAndHelpAnswerWithoutADisplay) {
  const Outcome version = RunProgram(kProgram, "--version", "HOME=/nonexistent");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(FirstLine(version.out), "TELPOD " TELPOD_VERSION) << "the package's version too";

  for (const char* help : {"--help", "-h", "--lang en --help"}) {
    const Outcome outcome = RunProgram(kProgram, help, "HOME=/nonexistent");
    EXPECT_EQ(outcome.status, 0) << help;
    EXPECT_EQ(FirstLine(outcome.out), "Usage: telpod [options]") << help;
    for (const char* option : {"--lang ja|en", "-h, --help", "--version"}) {
      EXPECT_NE(outcome.out.find(option), std::string::npos) << help << ": " << option;
    }
  }
}

// Without a display the window cannot open: one line says so and points to
// telpod-send, instead of Qt's abort. A display named but not answering
// (here an X display nobody serves) ends the same way.
TEST(CommandLine, WithoutADisplayOneLineSaysSoAndTheStatusIs1) {
  const std::string line =
      "telpod: no display to open the window on; telpod-send sends the rows without one "
      "(telpod-send --help)\n";
  for (const char* env : {"HOME=/nonexistent", "HOME=/nonexistent DISPLAY=:65000"}) {
    const Outcome outcome = RunProgram(kProgram, "", env);
    EXPECT_EQ(outcome.status, 1) << env;
    EXPECT_EQ(outcome.out, line) << env;
  }
}

// The settings file --help names shows the program folder the program found.
std::string SettingsFileNamed(const Outcome& help) {
  const std::string key = "Settings file: ";
  const auto at = help.out.find(key);
  if (at == std::string::npos) return "";
  return FirstLine(help.out.substr(at + key.size()));
}

// Through a link the program finds its real folder; a folder the user may
// not write sends the settings to the user's own.
TEST(CommandLine, HelpNamesTheSettingsFileOfTheFolderFound) {
  test::TempFolder linked, read_only, home;
  std::filesystem::create_symlink(kProgram, linked.File("telpod"));
  std::filesystem::copy_file(kProgram, read_only.File("telpod"));
  ::chmod(read_only.path().c_str(), 0555);
  const std::string env = "HOME=" + home.path();
  EXPECT_EQ(SettingsFileNamed(RunProgram(linked.File("telpod"), "--help", env)),
            std::filesystem::canonical(TELPOD_PROGRAM_DIR).string() + "/config.dat");
  EXPECT_EQ(SettingsFileNamed(RunProgram(read_only.File("telpod"), "--help", env)),
            home.path() + "/.config/telpod/config.dat");
}

}  // namespace
}  // namespace telpod
