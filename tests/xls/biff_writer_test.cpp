#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "settings/xls/biff_workbook_writer.h"
#include "settings/xls/workbook_file.h"
#include "settings/xls/workbook_reader.h"
#include "support/temp_folder.h"

namespace telpod::xls {
namespace {

struct BiffRecord {
  size_t offset;
  uint16_t type;
  std::string body;
};

uint16_t U16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) |
                               static_cast<unsigned char>(s[at + 1]) << 8);
}

std::vector<BiffRecord> Records(const std::string& stream) {
  std::vector<BiffRecord> records;
  size_t at = 0;
  while (at + 4 <= stream.size()) {
    const uint16_t type = U16(stream, at), size = U16(stream, at + 2);
    if (type == 0 && size == 0) break;  // padding
    records.push_back({at, type, stream.substr(at + 4, size)});
    at += 4 + size;
  }
  return records;
}

TEST(BiffWriter, WritesTheRecordsStrictReadersLookFor) {
  SheetModel sheet;
  sheet.SetValue(Range("A1"), "x");
  sheet.SetFontSize(Range("B2"), 8);
  sheet.SetValue(Range("C3"), 1.5);
  const std::string stream = WriteBiff8Workbook(sheet, "Sheet1");
  const auto records = Records(stream);
  std::map<uint16_t, int> count;
  for (const auto& r : records) {
    ++count[r.type];
    EXPECT_LE(r.body.size(), 8224u);
    // Cells refer to cell formats, never to style records.
    if (r.type == 0x0203 || r.type == 0x00FD || r.type == 0x0201) {
      EXPECT_GE(U16(r.body, 4), 15);
    }
  }
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.front().type, 0x0809);
  EXPECT_EQ(U16(records.front().body, 0), 0x0600);  // BIFF8
  for (uint16_t type :
       {0x00E1, 0x005C, 0x013D, 0x003D, 0x0092, 0x0293, 0x00FC, 0x00FF, 0x023E, 0x001D, 0x0200}) {
    EXPECT_GE(count[type], 1) << std::hex << type;
  }
  EXPECT_EQ(count[0x0031], 5);  // four standard fonts and the 8-point one
  EXPECT_EQ(count[0x00E0], 15 + 2);
  for (const auto& r : records) {
    if (r.type == 0x005C) {
      EXPECT_EQ(r.body.size(), 112u);
    }
    if (r.type == 0x0085) {  // the sheet's position points at its BOF
      uint32_t position = 0;
      std::memcpy(&position, r.body.data(), 4);
      ASSERT_LT(position + 8, stream.size());
      EXPECT_EQ(U16(stream, position), 0x0809);
      EXPECT_EQ(U16(stream, position + 6), 0x0010);
    }
  }
}

TEST(BiffWriter, LongAndManyTextsReadBackExactly) {
  std::string long_text;
  // 8000 characters: longer than one record, the longest FreeXL reads back.
  for (int k = 0; k < 4000; ++k) long_text += "送信";
  std::string emoji_text = "rows 🚗 ok";  // a character beyond 16 bits
  SheetModel sheet;
  sheet.SetValue(Range("A1"), long_text);
  sheet.SetValue(Range("B1"), emoji_text);
  for (int r = 1; r <= 3000; ++r) sheet.SetValue({r, 0, r, 0}, "text " + std::to_string(r));
  sheet.SetValue(Range("A3002"), long_text + "x");

  test::TempFolder folder;
  ASSERT_TRUE(SaveWorkbook(sheet, "S", folder.File("long.xls")));
  WorkbookReader reader;
  ASSERT_TRUE(reader.Open(folder.File("long.xls")));
  EXPECT_EQ(reader.CellText(0, 0), long_text);
  EXPECT_EQ(reader.CellText(0, 1), emoji_text);
  EXPECT_EQ(reader.CellText(1500, 0), "text 1500");
  EXPECT_EQ(reader.CellText(3001, 0), long_text + "x");
  EXPECT_EQ(reader.CellText(3001, 7), "");  // outside the sheet
  EXPECT_EQ(reader.CellText(70000, 0), "");
}

TEST(BiffWriter, ASmallSheetStillMakesAReadableWorkbook) {
  SheetModel sheet;
  sheet.SetValue(Range("B2"), 0.3);
  test::TempFolder folder;
  ASSERT_TRUE(SaveWorkbook(sheet, "S", folder.File("small.xls")));
  WorkbookReader reader;
  ASSERT_TRUE(reader.Open(folder.File("small.xls")));
  EXPECT_EQ(reader.CellText(1, 1), "0.3");
}

TEST(WorkbookReader, NumbersReadAsTheSheetShowsThem) {
  EXPECT_EQ(NumberText(10), "10");
  EXPECT_EQ(NumberText(12.5), "12.5");
  EXPECT_EQ(NumberText(0.1 + 0.2), "0.3");
  EXPECT_EQ(NumberText(2147483647), "2147483647");
  EXPECT_EQ(NumberText(-0.5), "-0.5");
}

}  // namespace
}  // namespace telpod::xls
