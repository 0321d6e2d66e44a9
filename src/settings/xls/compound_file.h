#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace telpod::xls {

// An OLE2 compound file (what an .xls is) holding one stream "Workbook"
// with the given bytes, marked as an Excel workbook. nullopt when the
// container cannot be built.
std::optional<std::string> PackWorkbookFile(std::string_view workbook_stream);

// The workbook stream ("Workbook", or "Book" of Excel 5 files) out of the
// bytes of an .xls file; nullopt when the container is damaged, holds no
// such stream, or the stream is larger than `max_size`.
std::optional<std::string> UnpackWorkbookStream(std::string_view file, size_t max_size);

}  // namespace telpod::xls
