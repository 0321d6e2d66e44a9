#include "settings/csv_export.h"

#include "model/row_fields.h"
#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "platform/text_codec.h"
#include "platform/user_folders.h"
#include "settings/csv_format.h"
#include "settings/export_outcome.h"

namespace telpod::Setting_import_export {
namespace {

// Blanks that right-align `text` under a header `width` characters wide; a
// longer text simply widens its field.
std::string Padding(const std::string& text, size_t width) {
  return std::string(text.size() < width ? width - text.size() : 0, ' ');
}

bool WriteCsvFile(const ELM327_Info& device, const std::string& file_name,
                  const std::string& folder, const CAN_SendDB& SendDB) {
  try {
    const std::string target = platform::ExistingFolderOrDefault(folder);
    const std::string bytes = platform::Utf8ToCp932(CsvText(device, SendDB));
    return platform::ReplaceFileAtomically(platform::JoinPath(target, file_name), bytes);
  } catch (...) {
    return false;
  }
}

}  // namespace

std::string CsvRowLine(const CAN_SendDB& SendDB, int16_t i) {
  const std::string id = FormatHex(static_cast<uint32_t>(SendDB.CAN_ID(i)));
  const std::string period = FormatDecimal(SendDB.CAN_SendCycleTime(i));
  // Appended piece by piece: each field is a blank, its text and " ,".
  std::string line = "  ";
  const auto field = [&line](std::string_view padding, std::string_view text) {
    line.append(padding).append(" ").append(text).append(" ,");
  };
  line.append(std::to_string(i + 1)).append(" ,");
  field("", std::to_string(SendDB.CAN_Send29(i)));
  line.append(" ");
  field(Padding(id, 7), id);
  field("", std::to_string(SendDB.CAN_DLC(i)));
  for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n) field("", FormatByteHex(SendDB.CAN_Data(n, i)));
  line.append(" ");
  field(Padding(period, 5), period);
  line.append(" ").append(std::to_string(SendDB.CAN_SendCycleOperation(i)));
  return line;
}

std::string CsvText(const ELM327_Info& device, const CAN_SendDB& SendDB) {
  std::string text =
      device.Application_title() + ",,," + device.Copy_light() + ",,,," + device.Homepage_URL();
  text += kCsvLineEnd;
  text += kSettingFileMarker;
  text += kCsvLineEnd;
  text += kCsvLineEnd;
  text += kCsvHeader;
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    text += kCsvLineEnd;
    text += CsvRowLine(SendDB, i);
  }
  return text;
}

void Export_CSV(ELM327_Info& device, const std::string& file_name, const std::string& folder,
                CAN_SendDB& SendDB, platform::MessageBoxes& messages) {
  const bool written = WriteCsvFile(device, file_name, folder, SendDB);
  ShowExportOutcome(messages, written,
                    TELPOD_TEXT("SettingsExport", "設定をcsvでエクスポートしました。"), file_name);
}

}  // namespace telpod::Setting_import_export
