#include "support/python_can_reader.h"

#include <algorithm>
#include <cstdio>

#include "support/python_lines.h"

namespace telpod::test {

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
