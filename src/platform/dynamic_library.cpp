#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <utility>

namespace telpod::platform {

DynamicLibrary::~DynamicLibrary() {
  Close();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      path_(std::move(other.path_)),
      error_(std::move(other.error_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, nullptr);
    path_ = std::move(other.path_);
    error_ = std::move(other.error_);
  }
  return *this;
}

bool DynamicLibrary::Open(const std::string& absolute_path) {
  Close();
  path_ = absolute_path;
  error_.clear();
  if (absolute_path.empty() || absolute_path.front() != '/') {
    error_ = "not an absolute path: " + absolute_path;
    return false;
  }
  dlerror();
  handle_ = dlopen(absolute_path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = dlerror();
    error_ = "cannot load " + absolute_path + ": " + (why ? why : "unknown error");
    return false;
  }
  return true;
}

void* DynamicLibrary::Symbol(const char* name) {
  if (handle_ == nullptr) {
    error_ = std::string("library not open, cannot resolve ") + name;
    return nullptr;
  }
  dlerror();
  void* address = dlsym(handle_, name);
  if (address == nullptr) {
    error_ = path_ + " lacks the entry point " + name;
  }
  return address;
}

void DynamicLibrary::Close() {
  if (handle_ != nullptr) {
    dlclose(handle_);
    handle_ = nullptr;
  }
}

}  // namespace telpod::platform
