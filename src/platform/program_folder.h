#pragma once

#include <string>

namespace telpod::platform {

// Folder of the running executable, without a trailing separator: the home
// of config.dat, libzqt100.so and drivers/. Tests point it elsewhere with
// ScopedProgramFolder so that parallel tests never share files.
std::string ProgramFolder();

// Appends a file name to a folder with exactly one separator between them.
std::string JoinPath(const std::string& folder, const std::string& name);

// The path separator as a text ("/" here), for folders kept with a trailing one.
const char* PathSeparator();

class ScopedProgramFolder {
 public:
  explicit ScopedProgramFolder(std::string folder);
  ~ScopedProgramFolder();
  ScopedProgramFolder(const ScopedProgramFolder&) = delete;
  ScopedProgramFolder& operator=(const ScopedProgramFolder&) = delete;

 private:
  std::string previous_;
};

}  // namespace telpod::platform
