#pragma once

#include <memory>
#include <string>

#include "platform/dynamic_library.h"
#include "send/clock.h"

namespace telpod {

// zq_timeGetTime of libzqt100.so, loaded at run time from a folder.
class ZqtClock final : public Clock {
 public:
  using TimeGetTimeFn = double (*)();

  // Loads the library from `folder`; nullptr (and `error`) when it cannot.
  static std::unique_ptr<ZqtClock> Load(const std::string& folder, std::string* error = nullptr);

  double Now() override { return zq_timeGetTime_(); }
  TimeGetTimeFn function() const { return zq_timeGetTime_; }

 private:
  ZqtClock(platform::DynamicLibrary library, TimeGetTimeFn fn)
      : library_(std::move(library)), zq_timeGetTime_(fn) {}

  platform::DynamicLibrary library_;
  TimeGetTimeFn zq_timeGetTime_;
};

}  // namespace telpod
