#include <gtest/gtest.h>

#include <bit>
#include <set>
#include <string>

#include "settings/xls/biff_stream_check.h"
#include "settings/xls/biff_workbook_writer.h"
#include "settings/xls/workbook_file.h"
#include "settings/xls/workbook_reader.h"
#include "support/temp_folder.h"

namespace telpod::xls {
namespace {

using namespace std::string_literals;

uint16_t U16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}

// Little-endian pieces of a record body.
std::string W(uint16_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
std::string D(uint32_t v) {
  return W(static_cast<uint16_t>(v)) + W(static_cast<uint16_t>(v >> 16));
}
std::string Rec(uint16_t type, const std::string& body) {
  return W(type) + W(static_cast<uint16_t>(body.size())) + body;
}
std::string Bof(uint16_t kind) {
  return Rec(0x0809, W(0x0600) + W(kind) + D(0) + D(0) + D(0));
}
const std::string kEof = Rec(0x000A, "");
std::string Dimensions(uint32_t rows, uint16_t columns) {
  return Rec(0x0200, D(0) + D(rows) + W(0) + W(columns) + W(0));
}
const std::string kDimensions = Dimensions(20, 14);
std::string Number(uint16_t row, double v, uint16_t xf = 15) {
  const auto bits = std::bit_cast<uint64_t>(v);
  return Rec(0x0203, W(row) + W(2) + W(xf) + D(static_cast<uint32_t>(bits)) +
                         D(static_cast<uint32_t>(bits >> 32)));
}
std::string Xf(uint16_t format) {
  return Rec(0x00E0, W(0) + W(format) + std::string(16, '\0'));
}
const std::string kDateFormat = Rec(0x041E, W(164) + W(10) + '\0' + "yyyy/mm/dd");
// A string table of one text of 16-bit characters, its record split after
// `first` bytes and each further `size` bytes into CONTINUE records.
std::string SharedStrings(size_t characters, size_t first, size_t size = 8223) {
  const std::string text =
      W(static_cast<uint16_t>(characters)) + '\x01' + std::string(2 * characters, 'x');
  std::string out = Rec(0x00FC, D(1) + D(1) + text.substr(0, first));
  for (size_t at = first; at < text.size(); at += size) {
    out += Rec(0x003C, '\x01' + text.substr(at, size));
  }
  return out;
}
// Globals (BOF, `globals`, BOUNDSHEETs naming the sheet, EOF), then the
// sheet (BOF, `sheet`, EOF).
std::string Workbook(const std::string& globals, const std::string& sheet, size_t entries = 1) {
  const std::string head = Bof(5) + globals;
  const auto sheet_at = static_cast<uint32_t>(head.size() + entries * (4 + 9) + kEof.size());
  std::string out = head;
  for (size_t k = 0; k < entries; ++k) out += Rec(0x0085, D(sheet_at) + W(0) + "\x01\x00S"s);
  return out + kEof + Bof(0x10) + sheet + kEof;
}

TEST(BiffWriter, WritesTheRecordsStrictReadersLookFor) {
  SheetModel sheet;
  sheet.SetValue(Range("A1"), "x");
  sheet.SetFontSize(Range("B2"), 8);
  sheet.SetValue(Range("C3"), 1.5);
  const std::string stream = WriteBiff8Workbook(sheet, "Sheet1");
  std::set<uint16_t> types;
  for (size_t at = 0; at + 4 <= stream.size(); at += 4 + U16(stream, at + 2)) {
    const uint16_t type = U16(stream, at);
    types.insert(type);
    // Cells refer to cell formats, never to style records.
    const bool cell = type == 0x0203 || type == 0x00FD || type == 0x0201;
    EXPECT_TRUE(!cell || U16(stream, at + 8) >= 15) << "cell at " << at;
    EXPECT_TRUE(type != 0x005C || U16(stream, at + 2) == 112);  // as long as Excel's
  }
  // INTERFACEHDR, WRITEACCESS, TABID, WINDOW1, PALETTE, STYLE, SST, EXTSST,
  // WINDOW2, SELECTION, DIMENSIONS.
  for (uint16_t type :
       {0x00E1, 0x005C, 0x013D, 0x003D, 0x0092, 0x0293, 0x00FC, 0x00FF, 0x023E, 0x001D, 0x0200}) {
    EXPECT_TRUE(types.contains(type)) << std::hex << type;
  }
}

// A sheet small enough for the container's mini stream, and one of long
// texts (past one record; the last the longest FreeXL reads back), a
// character beyond 16 bits and thousands of shared strings.
TEST(BiffWriter, SmallAndLargeSheetsReadBackExactly) {
  std::string long_text;
  for (int k = 0; k < 4000; ++k) long_text += "送信";
  const std::string emoji_text = "rows 🚗 ok";
  SheetModel small, large;
  small.SetValue(Range("B2"), 0.1 + 0.2);  // shown as "0.3"
  large.SetValue(Range("A1"), long_text);
  large.SetValue(Range("B1"), emoji_text);
  for (int r = 1; r <= 3000; ++r) large.SetValue({r, 0, r, 0}, "text " + std::to_string(r));
  large.SetValue(Range("A3002"), long_text + "x");

  test::TempFolder folder;
  WorkbookReader reader;
  ASSERT_TRUE(SaveWorkbook(small, "S", folder.File("small.xls")));
  ASSERT_TRUE(reader.Open(folder.File("small.xls")));
  EXPECT_EQ(reader.CellText(1, 1), "0.3");
  ASSERT_TRUE(SaveWorkbook(large, "S", folder.File("large.xls")));
  ASSERT_TRUE(reader.Open(folder.File("large.xls")));
  EXPECT_EQ(reader.CellText(0, 0), long_text);
  EXPECT_EQ(reader.CellText(0, 1), emoji_text);
  EXPECT_EQ(reader.CellText(1500, 0), "text 1500");
  EXPECT_EQ(reader.CellText(3001, 0), long_text + "x");
  EXPECT_EQ(reader.CellText(3001, 7), "");  // outside the sheet
  EXPECT_EQ(reader.CellText(70000, 0), "");
}

TEST(BiffStreamCheck, TakesWellFormedWorkbooks) {
  // Numbers in general, built-in date and custom date formats; a text
  // continued once in the string table.
  EXPECT_TRUE(
      CheckBiffStream(Workbook(kDateFormat + Xf(0) + Xf(14) + Xf(164) + SharedStrings(5000, 8201),
                               kDimensions + Number(5, 1e9, 0) + Number(6, 45000, 1) +
                                   Number(7, 45000, 2) + Rec(0x00FD, W(0) + W(0) + W(15) + D(0)))));
}

// Streams FreeXL would misread, loop on or crash with: one for each guard.
TEST(BiffStreamCheck, RefusesWhatFreeXlWouldMisread) {
  std::string xfs;
  for (int k = 0; k < 8193; ++k) xfs += Xf(0);
  const std::pair<const char*, std::string> cases[] = {
      {"empty stream", ""},
      {"no BOF first", kEof + Workbook("", kDimensions)},
      {"Excel 4 BOF", Rec(0x0809, W(0x0400) + W(5)) + kEof},
      {"record past the end", Workbook("", kDimensions).substr(0, 60)},
      {"encrypted", Workbook(Rec(0x002F, W(0)), kDimensions)},
      {"sheet without dimensions", Workbook("", Number(0, 1))},
      {"two dimensions", Workbook("", kDimensions + kDimensions)},
      {"huge grid", Workbook("", Dimensions(65536, 256))},
      {"two sheets at one place", Workbook("", kDimensions, 2)},
      {"sheet entry pointing nowhere", Bof(5) + Rec(0x0085, D(4096) + W(0) + "\x01\x00S"s) + kEof},
      {"cell written twice", Workbook("", kDimensions + Number(1, 1) + Number(1, 2))},
      {"cell in the globals", Workbook(Number(0, 1), kDimensions)},
      {"label past its record",
       Workbook("", kDimensions + Rec(0x0204, W(0) + W(0) + W(15) + W(9) + "\x01" + "ab"))},
      {"two string tables", Workbook(SharedStrings(3, 11) + SharedStrings(3, 11), kDimensions)},
      {"string header past its record", Workbook(Rec(0x00FC, D(1) + D(1) + W(3)), kDimensions)},
      {"rich text data past its record",
       Workbook(Rec(0x00FC, D(1) + D(1) + W(3) + '\x09' + W(50) + "abcdef"), kDimensions)},
      {"text continued twice", Workbook(SharedStrings(9000, 8201, 8200), kDimensions)},
      {"split text not continued",
       Workbook(SharedStrings(9000, 8201).substr(0, 8201 + 12) + Xf(0), kDimensions)},
      {"far date", Workbook(Xf(14), kDimensions + Number(6, 1e9, 0))},
      {"far date of a custom format",
       Workbook(kDateFormat + Xf(164), kDimensions + Number(6, 3e6, 0))},
      {"too many formats", Workbook(xfs, kDimensions)},
  };
  for (const auto& [what, stream] : cases) EXPECT_FALSE(CheckBiffStream(stream)) << what;
}

// The tab of the workbook's WINDOW1 record (xWn, yWn, dxWn, dyWn, flags,
// then itabCur); one in a sheet's records or cut short says nothing.
TEST(BiffStreamCheck, TheActiveSheetIsTheWorkbooksSelectedTab) {
  const auto window1 = [](uint16_t tab) {
    return Rec(0x003D, D(0) + D(0) + W(0x38) + W(tab) + D(0) + W(600));
  };
  const std::pair<std::string, unsigned> cases[] = {
      {Workbook(window1(2), kDimensions), 2},
      {Workbook("", kDimensions), 0},
      {Workbook(Rec(0x003D, D(0) + D(0) + W(0x38)), kDimensions), 0},
      {Workbook("", kDimensions + window1(3)), 0},
      {"\x09", 0},
  };
  for (const auto& [stream, tab] : cases) EXPECT_EQ(ActiveSheetIndex(stream), tab) << stream.size();
}

}  // namespace
}  // namespace telpod::xls
