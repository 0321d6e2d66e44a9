#pragma once

#include <string>
#include <vector>

#include "cansim_control.h"

namespace telpod::test {

// The frames python-can's LogReader (Debian's python3-can, run by the system
// Python) finds in the candump log at `path`, one line each as
// FrameLine writes them; a refused file gives one line "error: ...".
std::vector<std::string> ReadWithPythonCan(const std::string& path);

// What check_row_rules.py says of the frames in the candump log at `path`
// under the rules file `rules`, one line per "<row>=<hex identifier>" of
// `rows`: "row 1 7DF: 40 frames right", or the first frame that is wrong.
std::vector<std::string> CheckRulesWithPythonCan(const std::string& path, const std::string& rules,
                                                 const std::vector<std::string>& rows);

// A captured frame as ReadWithPythonCan describes it, on `interface`:
// "kvaser0 18DAF110 X D 8 A1A2A3A4A5A6A7A8", "canusb0 123 S R 4 -".
std::string FrameLine(const std::string& interface, const cansim_frame& frame);

}  // namespace telpod::test
