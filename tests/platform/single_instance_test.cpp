#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/program_folder.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

using platform::SingleInstance;

class SingleInstanceTest : public ::testing::Test {
 protected:
  SingleInstanceTest() { ::chmod(runtime_.path().c_str(), 01777); }

  test::TempFolder program_, runtime_;
  platform::ScopedProgramFolder scope_{program_.path()};
  test::ScopedEnvironment runtime_env_{"XDG_RUNTIME_DIR", runtime_.path()};
};

TEST_F(SingleInstanceTest, ASecondInstanceIsRefusedUntilTheFirstEnds) {
  auto first = std::make_unique<SingleInstance>();
  ASSERT_TRUE(first->Acquire());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(runtime_.path()), {}), 1)
      << "the lock lives in the user's runtime folder";
  SingleInstance second;
  EXPECT_FALSE(second.Acquire());
  first.reset();
  EXPECT_TRUE(second.Acquire());
}

TEST_F(SingleInstanceTest, AnotherProgramFolderIsAnotherProgram) {
  SingleInstance first;
  ASSERT_TRUE(first.Acquire());
  test::TempFolder other;
  platform::ScopedProgramFolder elsewhere(other.path());
  SingleInstance second;
  EXPECT_TRUE(second.Acquire());
}

// Another user's instance neither blocks nor is blocked by this one, and
// still guards against a second instance of its own.
TEST_F(SingleInstanceTest, EachUserHasALockOfTheirOwn) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  SingleInstance mine;
  ASSERT_TRUE(mine.Acquire());
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
    SingleInstance theirs, their_second;
    ::_exit(!theirs.Acquire() ? 1 : (their_second.Acquire() ? 2 : 0));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: blocked by another user, 2: no lock of its own";
}

}  // namespace
}  // namespace telpod
