#include "support/python_can_reader.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

namespace telpod::test {

namespace {

// The lines a script of tests/support prints, its errors included.
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

}  // namespace

std::vector<std::string> ReadWithPythonCan(const std::string& path) {
  return PythonLines("candump_frames.py", "'" + path + "'");
}

std::vector<std::string> CheckRulesWithPythonCan(const std::string& path, const std::string& rules,
                                                 const std::vector<std::string>& rows) {
  std::string arguments = "'" + path + "' '" + rules + "'";
  for (const auto& row : rows) arguments += " " + row;
  return PythonLines("check_row_rules.py", arguments);
}

std::string FrameLine(const std::string& interface, const cansim_frame& frame) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  char id[9];
  std::snprintf(id, sizeof id, "%X", frame.id);
  const size_t carried = frame.remote ? 0 : std::min<size_t>(frame.dlc, 8);
  std::string data;
  for (size_t i = 0; i < carried; ++i) {
    data += kHex[frame.data[i] >> 4];
    data += kHex[frame.data[i] & 0xF];
  }
  return interface + " " + id + (frame.extended ? " X " : " S ") + (frame.remote ? "R " : "D ") +
         std::to_string(frame.remote ? frame.dlc : carried) + " " + (data.empty() ? "-" : data);
}

}  // namespace telpod::test
