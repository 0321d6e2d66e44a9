#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cansim_control.h"
#include "platform/dynamic_library.h"

namespace telpod::test {

// Absolute path of a simulated driver in the build's program folder, the
// way the program finds it.
std::string SimulatorPath(const char* file);

// The control interface of one simulated driver library, reached with dlsym
// on the same library the binding under test has loaded.
class SimControl {
 public:
  explicit SimControl(const char* file);

  void Reset();
  // Replaces the configuration; throws (failing the test) on a syntax error.
  void Configure(const std::string& text);
  // The syntax error of `text`, or empty when it was accepted.
  std::string ConfigureError(const std::string& text);

  long long Calls(const char* entry) const;
  // The call log from entry `from` on, one "name(arguments)" per call.
  std::vector<std::string> CallLog(size_t from = 0) const;
  // The calls whose text starts with `prefix`, in order.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
  std::vector<cansim_frame> Frames() const;
  std::vector<uint8_t> LastRecord(const char* entry) const;
  // Sends the frame log to `target` ("" = off), flushing what went before.
  void SetLog(const std::string& target);

 private:
  template <typename Fn>
  void Bind(const char* name, Fn& out);

  platform::DynamicLibrary library_;
  decltype(&cansim_reset) reset_ = nullptr;
  decltype(&cansim_configure) configure_ = nullptr;
  decltype(&cansim_call_count) call_count_ = nullptr;
  decltype(&cansim_call_log_size) call_log_size_ = nullptr;
  decltype(&cansim_call_log_entry) call_log_entry_ = nullptr;
  decltype(&cansim_frame_count) frame_count_ = nullptr;
  decltype(&cansim_get_frame) get_frame_ = nullptr;
  decltype(&cansim_last_record) last_record_ = nullptr;
  decltype(&cansim_set_log) set_log_ = nullptr;
};

}  // namespace telpod::test
