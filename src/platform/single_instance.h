#pragma once

#include <memory>

class QLockFile;

namespace telpod::platform {

// Holds the program's single-instance lock for as long as it lives.
class SingleInstance {
 public:
  SingleInstance();
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when no other instance holds the lock (and this one now does).
  bool Acquire();

 private:
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace telpod::platform
