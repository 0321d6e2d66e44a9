#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace telpod::xls {

// An OLE2 compound file (what an .xls is) holding one stream "Workbook"
// with the given bytes, marked as an Excel workbook. nullopt when the
// container cannot be built.
std::optional<std::string> PackWorkbookFile(std::string_view workbook_stream);

}  // namespace telpod::xls
