#pragma once

#include <string>

namespace telpod::platform {

// A shared library opened by absolute path, closed when the object dies.
// Never consults the loader's search path, LD_LIBRARY_PATH or the working
// directory: a relative path is refused.
class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Opens the file; on failure returns false and error() tells why.
  bool Open(const std::string& absolute_path);
  bool IsOpen() const { return handle_ != nullptr; }
  const std::string& path() const { return path_; }
  const std::string& error() const { return error_; }

  // Address of an exported symbol, or nullptr (error() then names it).
  void* Symbol(const char* name);

  // Resolves `name` into a typed function pointer; false when missing.
  template <typename Fn>
  bool Resolve(const char* name, Fn& out) {
    out = reinterpret_cast<Fn>(Symbol(name));
    return out != nullptr;
  }

 private:
  void Close();

  void* handle_ = nullptr;
  std::string path_;
  std::string error_;
};

}  // namespace telpod::platform
