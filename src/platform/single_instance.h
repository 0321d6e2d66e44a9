#pragma once

namespace telpod::platform {

// Holds the program's single-instance lock, one per user and program folder,
// for as long as it lives. The lock
// belongs to the open file, so the system drops it when the process ends,
// however it ends: a crash leaves no stale lock behind.
class SingleInstance {
 public:
  SingleInstance() = default;
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when no other instance holds the lock (and this one now does).
  bool Acquire();

 private:
  int fd_ = -1;
};

}  // namespace telpod::platform
