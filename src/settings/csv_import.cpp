#include "settings/csv_import.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/program_folder.h"
#include "platform/text_codec.h"
#include "settings/csv_format.h"
#include "settings/line_reader.h"

namespace telpod::Setting_import_export {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kIdeographicSpace = "\u3000";
// "No" and the columns after it; fields beyond are not looked at.
constexpr size_t kFieldsRead = kRowColumnCount + 1;

enum class Encoding { Cp932, Utf8 };

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string AsUtf8(std::string_view line, Encoding encoding) {
  if (encoding == Encoding::Utf8 || IsAscii(line)) return std::string(line);
  return platform::Cp932ToUtf8Lossy(line);
}

// Which markers one reading of the file has met.
struct Markers {
  bool title = false;
  bool marker = false;
  void Look(std::string_view line, std::string_view key) {
    title = title || line.find(key) != std::string_view::npos;
    marker = marker || line.find(kSettingFileMarker) != std::string_view::npos;
  }
  bool both() const { return title && marker; }
};

// The first pass: the file is ours when both markers read as CP932, as it
// was written, or else as UTF-8 (with or without a byte-order mark), as an
// editor may have re-saved it. Every line is within the bound.
std::optional<Encoding> FindEncoding(std::istream& in, std::string_view key, ImportReport& r) {
  LineReader lines(in, kLongestCsvLine);
  Markers cp932, utf8;
  bool valid_utf8 = true;
  while (const auto line = lines.Next()) {
    cp932.Look(AsUtf8(*line, Encoding::Cp932), key);
    std::string_view text = *line;
    if (lines.line_number() == 1 && text.starts_with(kByteOrderMark)) {
      text.remove_prefix(kByteOrderMark.size());
    }
    valid_utf8 = valid_utf8 && platform::IsValidUtf8(text);
    if (valid_utf8) utf8.Look(text, key);
  }
  if (lines.too_long()) {
    r.refusal = ImportRefusal::LineTooLong;
    r.line = lines.line_number();
    return std::nullopt;
  }
  if (cp932.both()) return Encoding::Cp932;
  if (valid_utf8 && utf8.both()) return Encoding::Utf8;
  r.refusal = ImportRefusal::NoMarkers;
  r.missing_title = !cp932.title && !(valid_utf8 && utf8.title);
  r.missing_marker = !r.missing_title || (!cp932.marker && !(valid_utf8 && utf8.marker));
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
  for (size_t start = 0; fields.size() < kFieldsRead;) {
    const size_t comma = line.find(',', start);
    fields.push_back(CleanField(line.substr(start, comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return fields;
}

// Stores one row line; false when its row number is not 1..8.
bool TakeRowLine(std::string_view line, long number, CAN_SendDB& SendDB, ImportReport& r) {
  const std::vector<std::string> fields = SplitFields(line);
  const auto row = ParseWholeNumber(fields.front());
  if (!row || *row < 1 || *row > CAN_SendDB::kRows) return false;
  const auto i = static_cast<int16_t>(*row - 1);
  for (int c = 0; c < kRowColumnCount; ++c) {
    // A field past the end of the line takes its column's default.
    const size_t f = static_cast<size_t>(c) + 1;
    const std::string& text = f < fields.size() ? fields[f] : std::string();
    const auto column = static_cast<RowColumn>(c);
    if (StoreRowColumn(SendDB, i, column, text) == FieldRead::Replaced) {
      r.replaced.push_back({number, column, text, RowColumnText(SendDB, i, column)});
    }
  }
  return true;
}

// The second pass: every line after the heading is a candidate row line.
bool TakeRowLines(std::istream& in, Encoding encoding, CAN_SendDB& SendDB, ImportReport& r) {
  LineReader lines(in, kLongestCsvLine);
  bool after_header = false, taken = false;
  while (const auto line = lines.Next()) {
    const std::string text = AsUtf8(*line, encoding);
    if (after_header) {
      taken = TakeRowLine(text, lines.line_number(), SendDB, r) || taken;
    } else {
      after_header = text.find(kCsvHeaderKey) != std::string::npos;
    }
  }
  if (!taken) r.refusal = after_header ? ImportRefusal::NoRowLine : ImportRefusal::NoHeading;
  return taken;
}

}  // namespace

int32_t Import_CSV(ELM327_Info& device, const std::string& file_name, const std::string& folder,
                   CAN_SendDB& SendDB, ImportReport* report) {
  ImportReport own;
  ImportReport& r = report != nullptr ? *report : own;
  bool taken = false;
  try {
    const std::string path = platform::JoinPath(folder, file_name);
    if (!IsReadable(path, r)) return 0;
    std::ifstream in(path, std::ios::binary);
    const auto encoding = FindEncoding(in, TitleKey(device.Application_title()), r);
    if (!encoding) return 0;
    in.clear();
    in.seekg(0);
    taken = TakeRowLines(in, *encoding, SendDB, r);
  } catch (...) {
    // Rows stored before the failure stay; the result says whether any were.
    if (!taken) r.refusal = ImportRefusal::Failed;
  }
  return taken ? 1 : 0;
}

}  // namespace telpod::Setting_import_export
