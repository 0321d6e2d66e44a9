#include "platform/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <tuple>

#include "support/child_process.h"
#include "support/temp_folder.h"

namespace telpod::test {
namespace {

namespace fs = std::filesystem;
using platform::RemoveStaleTemporaryFiles;
using platform::ReplaceFileAtomically;

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class AtomicFile : public ::testing::Test {
 protected:
  std::string Path(const std::string& name = "config.dat") const { return folder.File(name); }
  // The names in the folder, links and temporary files included.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  TempFolder folder;
};

TEST_F(AtomicFile, TheReplacedFileKeepsItsModeAndANewOneFollowsTheUmask) {
  // The mode before (0: no file), the umask, the mode after.
  const std::tuple<mode_t, mode_t, mode_t> cases[] = {
      {0600, 022, 0600}, {0640, 022, 0640}, {0604, 077, 0604}, {0755, 022, 0755},
      {0660, 002, 0660}, {0, 022, 0644},    {0, 077, 0600},    {0, 002, 0664},
  };
  for (const auto& [before, mask, after] : cases) {
    fs::remove(Path());
    if (before != 0) {
      WriteFile(Path(), "old");
      ::chmod(Path().c_str(), before);
    }
    const mode_t previous = ::umask(mask);
    EXPECT_TRUE(ReplaceFileAtomically(Path(), "new"));
    ::umask(previous);
    EXPECT_EQ(ModeOf(Path()), after) << std::oct << before << " " << mask;
    EXPECT_EQ(ReadFile(Path()), "new");
  }
  EXPECT_EQ(Names(), std::set<std::string>{"config.dat"});
}

TEST_F(AtomicFile, ALinkKeepsPointingAtItsTargetWhichIsReplaced) {
  fs::create_directory(Path("real"));
  WriteFile(Path("real/export.csv"), "old");
  fs::create_symlink("real/export.csv", Path("first"));
  fs::create_symlink(Path("first"), Path("second"));  // a chain: absolute, then relative
  fs::create_symlink("real/not-yet.csv", Path("dangling"));
  fs::create_symlink("loop", Path("loop"));
  ASSERT_TRUE(ReplaceFileAtomically(Path("second"), "new"));
  EXPECT_EQ(fs::read_symlink(Path("second")), Path("first"));
  EXPECT_EQ(fs::read_symlink(Path("first")), "real/export.csv");
  EXPECT_EQ(ReadFile(Path("real/export.csv")), "new");

  ASSERT_TRUE(ReplaceFileAtomically(Path("dangling"), "created"));
  EXPECT_TRUE(fs::is_symlink(Path("dangling")));
  EXPECT_EQ(ReadFile(Path("real/not-yet.csv")), "created");
  EXPECT_FALSE(ReplaceFileAtomically(Path("loop"), "never"));
  EXPECT_EQ(Names(), (std::set<std::string>{"dangling", "first", "loop", "real", "second"}));
}

// A file the user may not write is not replaced, as a plain write would
// not have been; one the user may write is.
TEST_F(AtomicFile, AReadOnlyFileIsLeftAsItIs) {
  const int result = AsOrdinaryUser(folder.path(), [&] {
    WriteFile(Path(), "kept");
    WriteFile(Path("open.dat"), "old");
    ::chmod(Path().c_str(), 0444);
    const bool refused = !ReplaceFileAtomically(Path(), "lost") && ReadFile(Path()) == "kept" &&
                         ModeOf(Path()) == 0444;
    const bool replaced = ReplaceFileAtomically(Path("open.dat"), "new");
    return (refused ? 0 : 1) | (replaced ? 0 : 2);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Names(), (std::set<std::string>{"config.dat", "open.dat"}));
}

// Only this exact pattern beside the file, only files: a backup the user
// named config.dat.backup or a look-alike of another file stays.
TEST_F(AtomicFile, StaleTemporaryFilesGoButNothingElse) {
  const std::set<std::string> kept = {"config.dat",
                                      "config.dat.backup",
                                      "config.dat.tmp-abc",
                                      "config.dat.tmp-Ab3xZ!",
                                      "config.dat.tmp-Ab3xZ90",
                                      "other.dat.tmp-Ab3xZ9",
                                      "xconfig.dat.tmp-Ab3xZ9"};
  for (const auto& name : kept) WriteFile(Path(name), "user's");
  for (const char* name : {"config.dat.tmp-Ab3xZ9", "config.dat.tmp-000000"}) {
    WriteFile(Path(name), "left by a crash");
  }
  fs::create_directory(Path("config.dat.tmp-FOLDER"));
  RemoveStaleTemporaryFiles(Path());
  std::set<std::string> expected = kept;
  expected.insert("config.dat.tmp-FOLDER");
  EXPECT_EQ(Names(), expected);
}

// Makes this process's file system refuse unnamed files, as some do
// (openat with O_TMPFILE fails with EOPNOTSUPP); true when in force.
bool RefuseUnnamedFiles() {
  constexpr uint32_t kFlagsArgument = offsetof(seccomp_data, args) + 2 * sizeof(uint64_t);
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 0, 5),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, kFlagsArgument),
      BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, __O_TMPFILE, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// Where unnamed files are refused, a named one takes their place, with
// the same care for the file it replaces.
TEST_F(AtomicFile, WithoutUnnamedFilesANamedOneServes) {
  WriteFile(Path(), "old");
  ::chmod(Path().c_str(), 0640);
  const int result = InChildProcess([&] {
    if (!RefuseUnnamedFiles() || ::open(folder.path().c_str(), O_TMPFILE | O_WRONLY, 0600) >= 0) {
      return 2;
    }
    return ReplaceFileAtomically(Path(), "new") ? 0 : 1;
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadFile(Path()), "new");
  EXPECT_EQ(ModeOf(Path()), 0640u);
  EXPECT_EQ(Names(), std::set<std::string>{"config.dat"});
}

// Killed at arbitrary moments while saving over and over, with unnamed
// files and without: the file is always whole (old or new), and after the
// next start's clearing nothing else is left in the folder.
TEST_F(AtomicFile, AKilledSaveLeavesTheFileWholeAndNoTemporaryFileForGood) {
  const std::string first(1 << 20, 'a'), second(1 << 20, 'b');
  WriteFile(Path(), first);
  for (const bool unnamed : {true, false}) {
    for (int round = 0; round < 8; ++round) {
      const pid_t child = ::fork();
      if (child == 0) {
        if (!unnamed && !RefuseUnnamedFiles()) ::_exit(2);
        for (int n = 0;; ++n) ReplaceFileAtomically(Path(), n % 2 == 0 ? second : first);
      }
      std::this_thread::sleep_for(std::chrono::microseconds(1500 * round + 200));
      ::kill(child, SIGKILL);
      int status = 0;
      ::waitpid(child, &status, 0);
      ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended by itself";
      const std::string now = ReadFile(Path());
      EXPECT_TRUE(now == first || now == second) << unnamed << round;
      RemoveStaleTemporaryFiles(Path());
      EXPECT_EQ(Names(), std::set<std::string>{"config.dat"}) << unnamed << round;
    }
  }
}

}  // namespace
}  // namespace telpod::test
