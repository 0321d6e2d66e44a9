#include "settings/xls/sheet_model.h"

#include <gtest/gtest.h>

namespace telpod::xls {
namespace {

TEST(CellRange, ReadsAddressesAsTheAutomationWritesThem) {
  EXPECT_EQ(CellRange::Parse("A1"), (CellRange{0, 0, 0, 0}));
  EXPECT_EQ(CellRange::Parse("A6:N14"), (CellRange{5, 0, 13, 13}));
  EXPECT_EQ(CellRange::Parse("N14:A6"), (CellRange{5, 0, 13, 13}));
  EXPECT_EQ(CellRange::Parse("IV65536"), (CellRange{65535, 255, 65535, 255}));
  for (const char* bad : {"", "A", "1", "a1", "A0", "IW1", "A65537", "A1:", "A1:B", "A1B2"}) {
    EXPECT_FALSE(CellRange::Parse(bad)) << bad;
  }
  ASSERT_TRUE(ColumnSpan::Parse("E:L"));
  EXPECT_EQ(ColumnSpan::Parse("E:L")->first, 4);
  EXPECT_EQ(ColumnSpan::Parse("E:L")->last, 11);
  EXPECT_EQ(ColumnSpan::Parse("M")->first, 12);
  EXPECT_FALSE(ColumnSpan::Parse("E1"));
  EXPECT_THROW(Range("A1:"), std::invalid_argument);
}

TEST(SheetModel, LaterCallsOverrideAndRowsFormatOldAndNewCells) {
  SheetModel sheet;
  sheet.SetSheetFontSize(10);
  sheet.SetFontSize(Range("A6:B7"), 9);
  sheet.SetHorizontalAlignment(Range("A7"), HorizontalAlignment::Right);
  sheet.SetRowFontSize(6, 14);  // row 7: its old cells and the ones to come
  sheet.SetValue(Range("C7"), 1.0);
  sheet.SetValue(Range("C8"), 2.0);  // another row keeps the sheet's font

  const auto& cells = sheet.cells();
  EXPECT_EQ(cells.at({5, 0}).format.font_size, 9);
  EXPECT_EQ(cells.at({6, 0}).format.font_size, 14);
  EXPECT_EQ(cells.at({6, 0}).format.horizontal_alignment, HorizontalAlignment::Right);
  EXPECT_EQ(cells.at({6, 2}).format.font_size, 14);
  EXPECT_EQ(cells.at({7, 2}).format.font_size, 10);
  EXPECT_EQ(sheet.RowFormat(6).font_size, 14);

  sheet.SetSheetFontSize(11);  // the whole sheet, rows with a font included
  EXPECT_EQ(sheet.cells().at({5, 0}).format.font_size, 11);
  EXPECT_EQ(sheet.RowFormat(6).font_size, 11);
}

TEST(SheetModel, MergingKeepsTheTopLeftValueAndFormatsTheWholeRange) {
  SheetModel sheet;
  sheet.SetValue(Range("M1"), "time");
  sheet.SetValue(Range("N1"), "dropped");
  sheet.Merge(Range("M1:N1"));
  sheet.SetHorizontalAlignment(Range("M1:N1"), HorizontalAlignment::Right);
  EXPECT_EQ(std::get<std::string>(sheet.cells().at({0, 12}).value), "time");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(sheet.cells().at({0, 13}).value));
  EXPECT_EQ(sheet.cells().at({0, 13}).format.horizontal_alignment, HorizontalAlignment::Right);
  EXPECT_EQ(sheet.merges(), std::vector<CellRange>{*CellRange::Parse("M1:N1")});
}

}  // namespace
}  // namespace telpod::xls
