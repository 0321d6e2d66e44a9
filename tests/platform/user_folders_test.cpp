#include "platform/user_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

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
// base of the test's own.
class UserFolders : public ::testing::Test {
 protected:
  void Use(Program state, std::optional<std::string> xdg) {
    std::string folder = program_.File("telpod");
    std::filesystem::create_directory(folder);
    if (state == Program::ReadOnly) ::chmod(folder.c_str(), 0555);
    if (state == Program::Vanished) std::filesystem::remove(folder);
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

struct FolderCase {
  const char* name;
  Program state;
  enum { Set, Unset, Empty, Relative } xdg;
  enum { ProgramFolder, XdgTelpod, HomeConfigTelpod } settings;
};

class SettingsFolderRule : public UserFolders, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(SettingsFolderRule, ChoosesBesideTheProgramOnlyWhenTheUserMayWriteThere) {
  const FolderCase& c = GetParam();
  const std::optional<std::string> xdg[] = {config_.path(), std::nullopt, "", "relative/config"};
  Use(c.state, xdg[c.xdg]);
  const std::string expected[] = {ProgramPath(), config_.File("telpod"),
                                  home_.File(".config/telpod")};
  EXPECT_EQ(platform::SettingsFolder(), expected[c.settings]);
  EXPECT_EQ(platform::DefaultFileFolder(),
            c.settings == FolderCase::ProgramFolder ? ProgramPath() : home_.path());
  EXPECT_FALSE(std::filesystem::exists(config_.File("telpod"))) << "only a save makes it";
}

INSTANTIATE_TEST_SUITE_P(
    States, SettingsFolderRule,
    ::testing::Values(
        FolderCase{"Writable", Program::Writable, FolderCase::Set, FolderCase::ProgramFolder},
        FolderCase{"ReadOnly", Program::ReadOnly, FolderCase::Set, FolderCase::XdgTelpod},
        FolderCase{"Vanished", Program::Vanished, FolderCase::Set, FolderCase::XdgTelpod},
        FolderCase{"ReadOnlyXdgUnset", Program::ReadOnly, FolderCase::Unset,
                   FolderCase::HomeConfigTelpod},
        FolderCase{"ReadOnlyXdgEmpty", Program::ReadOnly, FolderCase::Empty,
                   FolderCase::HomeConfigTelpod},
        FolderCase{"ReadOnlyXdgRelative", Program::ReadOnly, FolderCase::Relative,
                   FolderCase::HomeConfigTelpod}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UserFolders, MakingTheSettingsFolderCreatesOnlyTheUsersOwn) {
  Use(Program::ReadOnly, std::nullopt);
  ASSERT_TRUE(platform::MakeSettingsFolder());
  struct stat st {};
  ASSERT_EQ(::stat(home_.File(".config/telpod").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u) << "nobody else reads another user's rows";
  ASSERT_EQ(::stat(home_.File(".config").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(UserFolders, AVanishedProgramFolderIsNeverMadeAgain) {
  Use(Program::Vanished, config_.path());
  EXPECT_TRUE(platform::MakeSettingsFolder());
  EXPECT_FALSE(std::filesystem::exists(ProgramPath()));
  EXPECT_TRUE(std::filesystem::is_directory(config_.File("telpod")));
}

TEST_F(UserFolders, AConfigurationFolderThatCannotBeMadeIsAFailure) {
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
