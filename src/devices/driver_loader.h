#pragma once

#include <string>

#include "platform/dynamic_library.h"

namespace telpod {

// Loads a driver library all or nothing: opens it by absolute path, resolves
// entry points by name until one is missing, and hands the library over only
// when every one was found. The error names the file and the missing entry.
class DriverLoader {
 public:
  explicit DriverLoader(const std::string& path) { library_.Open(path); }

  template <typename Fn>
  DriverLoader& operator()(const char* name, Fn& out) {
    if (ok() && !library_.Resolve(name, out)) failed_ = true;
    return *this;
  }

  bool ok() const { return library_.IsOpen() && !failed_; }

  // Moves the library into `owner` when everything resolved; otherwise
  // leaves the reason in `error` (when given) and returns false.
  bool Finish(platform::DynamicLibrary& owner, std::string* error);

 private:
  platform::DynamicLibrary library_;
  bool failed_ = false;
};

}  // namespace telpod
