#include "settings/xls/xls_import.h"

#include <algorithm>
#include <exception>
#include <string_view>

#include "model/row_fields.h"
#include "platform/program_folder.h"
#include "settings/settings_file_identity.h"
#include "settings/xls/settings_sheet.h"
#include "settings/xls/workbook_reader.h"

namespace telpod::Setting_import_export {
namespace {

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return lower;
}

std::string Cell(const xls::WorkbookReader& book, xls::CellRef cell) {
  return book.CellText(static_cast<unsigned>(cell.row), static_cast<unsigned short>(cell.column));
}

bool IsSettingsWorkbook(const xls::WorkbookReader& book, const std::string& title) {
  if (Cell(book, xls::kMarkerCell) != kSettingFileMarker) return false;
  const std::string key = AsciiLower(TitleKey(title));
  return AsciiLower(Cell(book, xls::kTitleCell)).find(key) != std::string::npos;
}

// Stores table row i; the report gets the sheet's row number of each cell
// replaced by its default.
void TakeTableRow(const xls::WorkbookReader& book, int16_t i, CAN_SendDB& SendDB, ImportReport& r) {
  const int row = xls::kFirstTableRow + i;
  for (int k = 0; k < kRowColumnCount; ++k) {
    const auto column = static_cast<RowColumn>(k);
    const std::string text = Cell(book, {row, xls::kFirstFieldColumn + k});
    if (StoreRowColumn(SendDB, i, column, text, PeriodFraction::Keep) == FieldRead::Replaced) {
      r.replaced.push_back({row + 1, column, text, RowColumnText(SendDB, i, column)});
    }
  }
}

}  // namespace

int32_t Import_XLS(ELM327_Info& device, const std::string& file_name, const std::string& folder,
                   CAN_SendDB& SendDB, ImportReport* report) {
  ImportReport own;
  ImportReport& r = report != nullptr ? *report : own;
  try {
    if (device.ExcelInstallCheck() == 0) {
      r.refusal = ImportRefusal::NoEngine;
      return 0;
    }
    const std::string path = platform::JoinPath(folder, file_name);
    if (!IsReadable(path, r)) return 0;
    xls::WorkbookReader book;
    if (!book.Open(path)) {
      r.refusal = ImportRefusal::NotWorkbook;
      return 0;
    }
    if (!IsSettingsWorkbook(book, device.Application_title())) {
      r.refusal = ImportRefusal::NotSettings;
      return 0;
    }
    for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) TakeTableRow(book, i, SendDB, r);
    return 1;
  } catch (const std::exception&) {
    r.refusal = ImportRefusal::Failed;
    return 0;
  }
}

}  // namespace telpod::Setting_import_export
