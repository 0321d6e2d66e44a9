#include "support/python_lines.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace telpod::test {

std::vector<std::string> PythonLines(const std::string& script, const std::string& arguments) {
  const std::string command =
      "/usr/bin/python3 " TELPOD_SOURCE_DIR "/tests/support/" + script + " " + arguments + " 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return {"error: cannot start python3"};
  std::vector<std::string> lines;
  std::string line;
  for (int c; (c = std::fgetc(pipe.get())) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
    } else if (!line.empty()) {
      lines.push_back(std::exchange(line, {}));
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace telpod::test
