#include "settings/xls/settings_sheet.h"

#include <vector>

#include "model/row_fields.h"
#include "settings/settings_file_identity.h"

namespace telpod::xls {
namespace {

constexpr double kNoteFontSize = 8.0;
constexpr double kHeaderFontSize = 9.0;
constexpr double kRowFontSize = 14.0;
constexpr int kHeaderFill = 36;    // light yellow
constexpr int kBorderColour = 56;  // dark grey

void WriteTableRow(SheetModel& sheet, const CAN_SendDB& db, int16_t i) {
  const int row = kFirstTableRow + i;
  const auto number = [](double v) { return CellValue{v}; };
  std::vector<CellValue> values = {
      number(i + 1),
      number(db.CAN_Send29(i)),
      FormatHex(static_cast<uint32_t>(db.CAN_ID(i))),
      number(db.CAN_DLC(i)),
  };
  for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n)
    values.emplace_back(FormatHex(db.CAN_Data(n, i)));
  values.push_back(number(db.CAN_SendCycleTime(i)));
  values.push_back(number(db.CAN_SendCycleOperation(i)));
  sheet.SetValues(CellRange{row, 0, row, static_cast<int>(values.size()) - 1}, values);
}

}  // namespace

void DescribeSettingsSheet(SheetModel& sheet, const ELM327_Info& device, const CAN_SendDB& db,
                           const std::string& export_time) {
  sheet.SetSheetFontSize(kStandardFontSize);
  sheet.SetValue(Range("A1"), device.Application_title());
  sheet.SetValue(Range("A3"), device.Homepage_URL());
  sheet.SetFontSize(Range("A3"), kNoteFontSize);
  sheet.SetValue(Range("F1"), std::string(Setting_import_export::kSettingFileMarker));
  sheet.SetFontSize(Range("F1"), kStandardFontSize);
  sheet.SetValue(Range("A2"), device.Copy_light());
  sheet.SetFontSize(Range("A2"), kNoteFontSize);
  sheet.SetValue(Range("M1"), export_time);
  sheet.Merge(Range("M1:N1"));
  sheet.SetHorizontalAlignment(Range("M1:N1"), HorizontalAlignment::Right);
  const std::pair<const char*, const char*> notes[] = {
      {"J3", "※空白は自由に編集しても問題ありません｡"},
      {"J4", "※セルの行列の位置は変更しないでください｡"},
      {"J5", "※エクスポートで上書きすると、編集した部分はすべて消えてしまいます。"},
      {"A15", "CAN ID、D1～D8は、１６進数の半角で入力します。"},
  };
  for (const auto& [cell, text] : notes) {
    sheet.SetValue(Range(cell), text);
    sheet.SetFontSize(Range(cell), kNoteFontSize);
  }
  sheet.SetHorizontalAlignment(Range("A7:N14"), HorizontalAlignment::Right);
  sheet.SetNumberFormat(Range("C7:C14"), kFormatText);
  sheet.SetNumberFormat(Range("E7:L14"), kFormatText);
  sheet.SetValues(Range("A6:N6"), {"No.", "EX", "CAN ID", "DLC", "D1", "D2", "D3", "D4", "D5", "D6",
                                   "D7", "D8", "送信 [ms]", "送信ON"});
  sheet.SetInteriorColorIndex(Range("A6:N6"), kHeaderFill);
  sheet.SetBorderLineStyle(Range("A6:N14"), kLineStyleContinuous);
  sheet.SetBorderColorIndex(Range("A6:N14"), kBorderColour);
  sheet.SetFontSize(Range("A6:N6"), kHeaderFontSize);
  const std::pair<const char*, double> widths[] = {{"A", 4},   {"B", 4},  {"C", 12},  {"D", 5},
                                                   {"E:L", 4}, {"M", 11}, {"N", 6.13}};
  for (const auto& [columns, width] : widths) sheet.SetColumnWidth(Columns(columns), width);
  sheet.SetHorizontalAlignment(Range("A6:N6"), HorizontalAlignment::Center);

  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    sheet.SetRowFontSize(kFirstTableRow + i, kRowFontSize);
    WriteTableRow(sheet, db, i);
  }
}

}  // namespace telpod::xls
