#include "cli/rows_source.h"

#include "model/bit_rate_table.h"
#include "model/row_sending.h"
#include "platform/file_system.h"
#include "settings/csv_format.h"
#include "settings/file_save_system.h"
#include "settings/settings_file_identity.h"
#include "settings/settings_import.h"

namespace telpod {

namespace {

using Setting_import_export::ImportRefusal;
using Setting_import_export::ImportReport;

// What the run takes instead of config.dat: the rows and rate the options
// do not give. Empty when they give both.
std::string Instead(const SendOptions& options, int32_t default_rate) {
  const std::string rate = "bit rate (" + BitRateLabel(default_rate) + ")";
  if (!options.rows && !options.bit_rate) return ": the default rows and " + rate + " are used";
  if (!options.rows) return ": the default rows are used";
  if (!options.bit_rate) return ": the default " + rate + " is used";
  return "";
}

// Why config.dat was not taken, and what the run goes on with instead; ""
// when the options leave nothing to take from it.
std::string NotReadNote(int32_t result, const SendOptions& options, int32_t default_rate) {
  const std::string instead = Instead(options, default_rate);
  if (instead.empty()) return "";
  const std::string path = FileSaveSystem::SettingFilePath();
  if (result == FileSaveSystem::kForeign) {
    return path + " belongs to another program or version" + instead;
  }
  return (platform::FileExists(path) ? path + " could not be read" : "there is no " + path) +
         instead;
}

// The markers an export starts with, which this file lacks.
std::string MissingMarkers(const ImportReport& r, const std::string& key) {
  const std::string title = "\"" + key + "\" (line 1 of an export)";
  const std::string marker =
      "\"" + std::string(Setting_import_export::kSettingFileMarker) + "\" (line 2 of an export)";
  if (r.missing_title && r.missing_marker) {
    return "it has no line holding " + title + " nor one holding " + marker;
  }
  return "it has no line holding " + (r.missing_title ? title : marker);
}

// Why the rows file gave no rows, after "cannot read rows from <file>: ".
std::string RefusalCause(const ImportReport& r, const ELM327_Info& device) {
  switch (r.refusal) {
    case ImportRefusal::NoFile:
      return "there is no such file";
    case ImportRefusal::IsFolder:
      return "it is a directory";
    case ImportRefusal::NotReadable:
      return platform::SystemErrorText(r.error_number);
    case ImportRefusal::UnknownKind:
      return "rows are read from .csv and .xls files only";
    case ImportRefusal::LineTooLong:
      return "line " + std::to_string(r.line) + " is longer than any row line (" +
             std::to_string(Setting_import_export::kLongestCsvLine) + " bytes)";
    case ImportRefusal::NoMarkers:
      return MissingMarkers(r, Setting_import_export::TitleKey(device.Application_title()));
    case ImportRefusal::NoHeading:
      return "it has no heading line (one holding \"No\") before its rows";
    case ImportRefusal::NoRowLine:
      return "no line after its heading is a row numbered 1 to 8";
    case ImportRefusal::NotWorkbook:
      return "it is no .xls workbook this program reads";
    case ImportRefusal::NotSettings:
      return "the workbook is no settings workbook exported by TELPOD";
    default:
      return "it could not be read";
  }
}

// "rows.csv line 6: ID "20000000" is not valid, the default 1 is used"
std::string ReplacedLine(const std::string& path, const Setting_import_export::ReplacedField& f) {
  const bool workbook = !path.ends_with(".csv") && !path.ends_with(".CSV");
  return path + (workbook ? " row " : " line ") + std::to_string(f.line) + ": " +
         std::string(RowColumnName(f.column)) + " \"" + f.read + "\" is not valid, the default " +
         f.used + " is used";
}

// Names every replaced field; false when that refuses the file.
bool AcceptReplacements(const std::string& path, const ImportReport& report, bool lenient,
                        TerminalMessages& messages) {
  for (const auto& field : report.replaced) messages.Say(ReplacedLine(path, field));
  if (report.replaced.empty() || lenient) return true;
  const auto count = report.replaced.size();
  messages.Say(path + ": " + std::to_string(count) + (count == 1 ? " field is" : " fields are") +
               " not valid, so nothing is sent (--lenient sends the defaults in their place)");
  return false;
}

bool ImportRows(ELM327_Info& device, CAN_SendDB& SendDB, const std::string& path, bool lenient,
                TerminalMessages& messages) {
  // The rows the file does not hold keep their defaults, not config.dat's.
  CAN_SendDB imported;
  ImportReport report;
  if (Setting_import_export::Import_Settings_File(device, path, imported, &report) != 1) {
    messages.Say("cannot read rows from " + path + ": " + RefusalCause(report, device));
    return false;
  }
  if (!AcceptReplacements(path, report, lenient, messages)) return false;
  SendDB = imported;
  return true;
}

}  // namespace

bool TakeRows(ELM327_Info& device, CAN_SendDB& SendDB, const SendOptions& options,
              TerminalMessages& messages) {
  const int32_t default_rate = device.t_bitRate();
  const int32_t result = FileSaveSystem::Read_SettingFile(device, SendDB);
  if (result != FileSaveSystem::kLoaded) {
    if (const auto note = NotReadNote(result, options, default_rate); !note.empty()) {
      messages.Say(note);
    }
  }
  return !options.rows || ImportRows(device, SendDB, *options.rows, options.lenient, messages);
}

void SwitchPeriodicRowsOff(CAN_SendDB& SendDB) {
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) SendDB.set_CAN_SendCycleOperation(i, 0);
}

void NoteRowsNotSent(const CAN_SendDB& SendDB, TerminalMessages& messages) {
  bool any_periodic = false, any_sent = false;
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    if (SendDB.CAN_SendCycleOperation(i) != 1) continue;
    any_periodic = true;
    if (FitsItsFormat(SendDB, i)) {
      any_sent = true;
      continue;
    }
    messages.Say("row " + std::to_string(i + 1) + " is not sent: its standard identifier " +
                 FormatHex(static_cast<uint32_t>(SendDB.CAN_ID(i))) +
                 " needs more than 11 bits (above 7FF)");
  }
  if (!any_periodic) messages.Say("no row sends periodically: nothing goes out");
  if (any_periodic && !any_sent) messages.Say("no periodic row can be sent: nothing goes out");
}

}  // namespace telpod
