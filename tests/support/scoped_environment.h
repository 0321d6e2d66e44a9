#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace telpod::test {

// Sets (or, with nullopt, removes) one environment variable for as long as
// the object lives, then puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old;
    Set(value);
  }
  ~ScopedEnvironment() { Set(previous_); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

  const char* name_;
  std::optional<std::string> previous_;
};

}  // namespace telpod::test
