#pragma once

#include <string>
#include <vector>

namespace telpod::test {

// The lines, blank ones left out, that a script of tests/support prints
// when the system Python (with Debian's python3-can) runs it with
// `arguments` (quoted by the caller), standard error included.
std::vector<std::string> PythonLines(const std::string& script, const std::string& arguments);

}  // namespace telpod::test
