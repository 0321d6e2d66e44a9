#include "settings/csv_import.h"

#include <optional>
#include <string_view>
#include <vector>

#include "model/row_fields.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "platform/text_codec.h"
#include "settings/csv_format.h"

namespace telpod::Setting_import_export {
namespace {

using Lines = std::vector<std::string_view>;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kIdeographicSpace = "\u3000";

// Splits at LF; a CR right before the LF belongs to the line end.
Lines SplitLines(std::string_view text) {
  Lines lines;
  for (size_t start = 0;;) {
    const size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    std::string_view line = text.substr(start, lf - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = lf + 1;
  }
}

bool AnyLineHolds(const Lines& lines, std::string_view part) {
  for (std::string_view line : lines) {
    if (line.find(part) != std::string_view::npos) return true;
  }
  return false;
}

bool HasMarkers(const Lines& lines, std::string_view key) {
  return AnyLineHolds(lines, key) && AnyLineHolds(lines, kSettingFileMarker);
}

// The file as UTF-8 text when it carries both markers: read as CP932 first,
// as it was written, else as UTF-8. nullopt when neither reading marks it.
std::optional<std::string> MarkedText(std::string_view bytes, std::string_view key) {
  std::string text = platform::Cp932ToUtf8Lossy(bytes);
  if (HasMarkers(SplitLines(text), key)) return text;
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  if (platform::IsValidUtf8(bytes) && HasMarkers(SplitLines(bytes), key)) {
    return std::string(bytes);
  }
  return std::nullopt;
}

// One field with every blank, ideographic space and NUL taken out.
std::string CleanField(std::string_view field) {
  std::string clean;
  while (!field.empty()) {
    if (field.starts_with(kIdeographicSpace)) {
      field.remove_prefix(kIdeographicSpace.size());
      continue;
    }
    if (field.front() != ' ' && field.front() != '\0') clean += field.front();
    field.remove_prefix(1);
  }
  return clean;
}

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  for (size_t start = 0;;) {
    const size_t comma = line.find(',', start);
    fields.push_back(CleanField(line.substr(start, comma - start)));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

// Stores one row line; false when its row number is not 1..8.
bool TakeRowLine(std::string_view line, CAN_SendDB& SendDB) {
  const std::vector<std::string> fields = SplitFields(line);
  const auto number = ParseWholeNumber(fields.front());
  if (!number || *number < 1 || *number > CAN_SendDB::kRows) return false;
  const auto i = static_cast<int16_t>(*number - 1);
  for (int c = 0; c < kRowColumnCount; ++c) {
    // A field past the end of the line takes its column's default.
    const size_t f = static_cast<size_t>(c) + 1;
    StoreRowColumn(SendDB, i, static_cast<RowColumn>(c), f < fields.size() ? fields[f] : "");
  }
  return true;
}

}  // namespace

int32_t Import_CSV(ELM327_Info& device, const std::string& file_name, const std::string& folder,
                   CAN_SendDB& SendDB) {
  bool taken = false;
  try {
    const std::string path = platform::JoinPath(folder, file_name);
    if (!platform::FileExists(path)) return 0;
    std::string bytes;
    if (!platform::ReadWholeFile(path, bytes)) return 0;
    const auto text = MarkedText(bytes, TitleKey(device.Application_title()));
    if (!text) return 0;

    bool after_header = false;
    for (std::string_view line : SplitLines(*text)) {
      if (after_header) {
        taken = TakeRowLine(line, SendDB) || taken;
      } else {
        after_header = line.find(kCsvHeaderKey) != std::string_view::npos;
      }
    }
  } catch (...) {
    // Rows stored before the failure stay; the result says whether any were.
  }
  return taken ? 1 : 0;
}

}  // namespace telpod::Setting_import_export
