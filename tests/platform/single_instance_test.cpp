#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/program_folder.h"
#include "support/child_process.h"
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

// Another program folder is another program.
TEST_F(SingleInstanceTest, ASecondInstanceIsRefusedUntilTheFirstEnds) {
  auto first = std::make_unique<SingleInstance>();
  ASSERT_TRUE(first->Acquire());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(runtime_.path()), {}), 1)
      << "the lock lives in the user's runtime folder";
  SingleInstance second;
  EXPECT_FALSE(second.Acquire());
  {
    test::TempFolder other;
    platform::ScopedProgramFolder elsewhere(other.path());
    EXPECT_TRUE(SingleInstance().Acquire());
  }
  first.reset();
  EXPECT_TRUE(second.Acquire());
}

// Another user's instance neither blocks nor is blocked by this one, and
// still guards against a second instance of its own.
TEST_F(SingleInstanceTest, EachUserHasALockOfTheirOwn) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  SingleInstance mine;
  ASSERT_TRUE(mine.Acquire());
  const int result = test::InChildProcess([] {
    constexpr uid_t kNobody = 65534;
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) return 3;
    SingleInstance theirs, their_second;
    return !theirs.Acquire() ? 1 : (their_second.Acquire() ? 2 : 0);
  });
  EXPECT_EQ(result, 0) << "1: blocked by another user, 2: no lock of its own";
}

}  // namespace
}  // namespace telpod
