#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace telpod::test {

// Runs `action` in a child process and gives its result (0..255), or -1
// when the child did not end by itself. The child ends with _exit, so
// nothing of the test's own state is torn down twice.
inline int InChildProcess(const std::function<int()>& action) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(action());
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Runs `action` as a user without the superuser's right to write any file
// (user nobody, in a child, when the test runs as root), so that permission
// bits mean what they mean to every other user. `folder` is opened to
// that user.
inline int AsOrdinaryUser(const std::string& folder, const std::function<int()>& action) {
  if (::geteuid() != 0) return action();
  constexpr uid_t kNobody = 65534;
  ::chmod(folder.c_str(), 0777);
  return InChildProcess([&] {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) return 125;
    return action();
  });
}

}  // namespace telpod::test
