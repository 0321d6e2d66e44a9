#include "platform/user_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>

#include "platform/driver_folders.h"
#include "platform/program_folder.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

using test::ScopedEnvironment;
using test::TempFolder;

enum class Program { Writable, ReadOnly, Vanished };

// A program folder in one of its three states, a home and a configuration
// base of the test's own; each Use starts them afresh.
class UserFolders : public ::testing::Test {
 protected:
  void Use(Program state, std::optional<std::string> xdg) {
    const std::string folder = ProgramPath();
    ::chmod(folder.c_str(), 0755);
    std::filesystem::remove_all(folder);
    if (state != Program::Vanished) std::filesystem::create_directory(folder);
    if (state == Program::ReadOnly) ::chmod(folder.c_str(), 0555);
    program_scope_.emplace(folder);
    home_env_.emplace("HOME", home_.path());
    xdg_env_.emplace("XDG_CONFIG_HOME", xdg);
  }
  std::string ProgramPath() const { return program_.File("telpod"); }

  TempFolder program_, home_, config_;

 private:
  std::optional<platform::ScopedProgramFolder> program_scope_;
  std::optional<ScopedEnvironment> home_env_, xdg_env_;
};

TEST_F(UserFolders, SettingsGoBesideTheProgramOnlyWhenTheUserMayWriteThere) {
  const std::string beside = ProgramPath(), xdg = config_.File("telpod"),
                    home = home_.File(".config/telpod");
  const std::tuple<Program, std::optional<std::string>, std::string> cases[] = {
      {Program::Writable, config_.path(), beside},
      {Program::ReadOnly, config_.path(), xdg},
      {Program::Vanished, config_.path(), xdg},
      {Program::ReadOnly, std::nullopt, home},
      {Program::ReadOnly, "", home},
      {Program::ReadOnly, "relative/config", home},
  };
  for (const auto& [state, base, settings] : cases) {
    Use(state, base);
    EXPECT_EQ(platform::SettingsFolder(), settings) << base.value_or("unset");
    EXPECT_EQ(platform::DefaultFileFolder(), settings == beside ? beside : home_.path());
  }
  EXPECT_FALSE(std::filesystem::exists(xdg)) << "only a save makes it";
}

// Only the user's own folders are made, private; a vanished program folder
// never again; a base that is a file is a failure.
TEST_F(UserFolders, MakingTheSettingsFolderMakesOnlyTheUsersOwn) {
  Use(Program::ReadOnly, std::nullopt);
  ASSERT_TRUE(platform::MakeSettingsFolder());
  for (const char* made : {".config/telpod", ".config"}) {
    struct stat st {};
    ASSERT_EQ(::stat(home_.File(made).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << made;
  }
  Use(Program::Vanished, config_.path());
  EXPECT_TRUE(platform::MakeSettingsFolder());
  EXPECT_FALSE(std::filesystem::exists(ProgramPath()));
  EXPECT_TRUE(std::filesystem::is_directory(config_.File("telpod")));

  test::WriteFile(config_.File("file"), "not a folder");
  Use(Program::ReadOnly, config_.File("file"));
  EXPECT_FALSE(platform::MakeSettingsFolder());
}

TEST_F(UserFolders, AnExportWhoseFolderHasGoneFallsBackToTheDefault) {
  Use(Program::ReadOnly, config_.path());
  EXPECT_EQ(platform::ExistingFolderOrDefault(config_.path()), config_.path());
  EXPECT_EQ(platform::ExistingFolderOrDefault(config_.File("gone")), home_.path());
}

TEST_F(UserFolders, MakersLibrariesComeBeforeTheProgramsSimulators) {
  Use(Program::Writable, std::nullopt);
  const auto folders = platform::DriverFolders();
  ASSERT_GE(folders.size(), 2u);
  EXPECT_EQ(folders.back(), ProgramPath() + "/drivers");
  for (size_t i = 0; i + 1 < folders.size(); ++i) {
    EXPECT_EQ(folders[i].rfind("/usr/", 0), 0u) << folders[i];
  }
}

}  // namespace
}  // namespace telpod
