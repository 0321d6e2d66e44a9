#include "settings/xls/biff_stream_check.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "settings/xls/biff_workbook_writer.h"

namespace telpod::xls {
namespace {

// Little-endian pieces of a record body.
std::string W(uint16_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
std::string D(uint32_t v) {
  return W(static_cast<uint16_t>(v)) + W(static_cast<uint16_t>(v >> 16));
}
std::string F(double v) {
  const auto bits = std::bit_cast<uint64_t>(v);
  return D(static_cast<uint32_t>(bits)) + D(static_cast<uint32_t>(bits >> 32));
}
std::string Rec(uint16_t type, const std::string& body) {
  return W(type) + W(static_cast<uint16_t>(body.size())) + body;
}

const std::string kGlobalsBof = Rec(0x0809, W(0x0600) + W(0x0005) + D(0) + D(0) + D(0));
const std::string kSheetBof = Rec(0x0809, W(0x0600) + W(0x0010) + D(0) + D(0) + D(0));
const std::string kEof = Rec(0x000A, "");
std::string Dimensions(uint32_t rows, uint16_t columns) {
  return Rec(0x0200, D(0) + D(rows) + W(0) + W(columns) + W(0));
}
const std::string kDimensions = Dimensions(20, 14);
const std::string kDateFormat = Rec(0x041E, W(164) + W(10) + std::string(1, '\0') + "yyyy/mm/dd");
std::string Number(uint16_t row, uint16_t column, double v, uint16_t xf = 15) {
  return Rec(0x0203, W(row) + W(column) + W(xf) + F(v));
}
std::string Xf(uint16_t format) {
  return Rec(0x00E0, W(0) + W(format) + std::string(16, '\0'));
}
// A shared string of 16-bit characters: count, flags, characters.
std::string Text16(const std::u16string& s, uint8_t flags = 0x01) {
  std::string out = W(static_cast<uint16_t>(s.size())) + std::string(1, static_cast<char>(flags));
  for (char16_t c : s) out += W(c);
  return out;
}

// Globals (BOF, `globals`, one BOUNDSHEET naming the sheet, EOF), then the
// sheet (BOF, `sheet` records, EOF).
std::string Workbook(const std::string& globals, const std::string& sheet, int sheet_entries = 1) {
  const std::string head = kGlobalsBof + globals;
  const size_t boundsheet = 4 + 8 + 1;  // header, offset and flags, name "S" as 8-bit
  const uint32_t sheet_at =
      static_cast<uint32_t>(head.size() + sheet_entries * boundsheet + kEof.size());
  std::string out = head;
  for (int k = 0; k < sheet_entries; ++k) {
    out += Rec(0x0085, D(sheet_at) + W(0) + std::string("\x01\x00S", 3));
  }
  return out + kEof + kSheetBof + sheet + kEof;
}

TEST(BiffStreamCheck, TakesWellFormedWorkbooks) {
  EXPECT_TRUE(CheckBiffStream(Workbook("", kDimensions + Number(6, 2, 10))));
  EXPECT_TRUE(CheckBiffStream(Workbook(Xf(14), kDimensions + Number(6, 2, 45000, 0))));
  EXPECT_TRUE(
      CheckBiffStream(Workbook(kDateFormat + Xf(164), kDimensions + Number(6, 2, 45000, 0))));
  EXPECT_TRUE(CheckBiffStream(Workbook(Xf(0), kDimensions + Number(6, 2, 1e9, 0))));
  const std::string long_text(5000, 'x');
  std::u16string text(long_text.begin(), long_text.end());
  const std::string first = Text16(text);  // 10003 bytes: continued once
  EXPECT_TRUE(CheckBiffStream(Workbook(Rec(0x00FC, D(1) + D(1) + first.substr(0, 8201)) +
                                           Rec(0x003C, std::string(1, '\x01') + first.substr(8201)),
                                       kDimensions + Rec(0x00FD, W(0) + W(0) + W(15) + D(0)))));
  SheetModel sheet;
  sheet.SetValue(Range("A1:N20"), "text");
  EXPECT_TRUE(CheckBiffStream(WriteBiff8Workbook(sheet, "Sheet1")));
}

TEST(BiffStreamCheck, RefusesWhatFreeXlWouldMisread) {
  const std::u16string abc = u"abc";
  const std::string split = Text16(std::u16string(9000, u'x'));  // needs three records
  const std::pair<const char*, std::string> cases[] = {
      {"empty stream", ""},
      {"no BOF first", kEof + Workbook("", kDimensions)},
      {"Excel 4 BOF", Rec(0x0809, W(0x0400) + W(5)) + kEof},
      {"record past the end", Workbook("", kDimensions).substr(0, 60)},
      {"encrypted", Workbook(Rec(0x002F, W(0)), kDimensions)},
      {"sheet without dimensions", Workbook("", Number(0, 0, 1))},
      {"two dimensions", Workbook("", kDimensions + kDimensions)},
      {"huge grid", Workbook("", Dimensions(65536, 256))},
      {"two sheets at one place", Workbook("", kDimensions, 2)},
      {"sheet entry pointing nowhere",
       kGlobalsBof + Rec(0x0085, D(4096) + W(0) + std::string("\x01\x00S", 3)) + kEof},
      {"cell written twice", Workbook("", kDimensions + Number(1, 1, 1) + Number(1, 1, 2))},
      {"cell in the globals", Workbook(Number(0, 0, 1), kDimensions)},
      {"label past its record",
       Workbook("", kDimensions + Rec(0x0204, W(0) + W(0) + W(15) + W(9) + "\x01" + "ab"))},
      {"two string tables",
       Workbook(Rec(0x00FC, D(1) + D(1) + Text16(abc)) + Rec(0x00FC, D(0) + D(0)), kDimensions)},
      {"string header past its record", Workbook(Rec(0x00FC, D(1) + D(1) + W(3)), kDimensions)},
      {"text continued twice", Workbook(Rec(0x00FC, D(1) + D(1) + split.substr(0, 8201)) +
                                            Rec(0x003C, "\x01" + split.substr(8201, 8200)) +
                                            Rec(0x003C, "\x01" + split.substr(16401)),
                                        kDimensions)},
      {"split text not continued",
       Workbook(Rec(0x00FC, D(1) + D(1) + split.substr(0, 8201)) + Xf(0), kDimensions)},
      {"rich text data past its record",
       Workbook(Rec(0x00FC, D(1) + D(1) + Text16(abc, 0x09).insert(3, W(50))), kDimensions)},
      {"far date", Workbook(Xf(14), kDimensions + Number(6, 2, 1e9, 0))},
      {"far date of a custom format",
       Workbook(kDateFormat + Xf(164), kDimensions + Number(6, 2, 3e6, 0))},
      {"too many formats", Workbook(
                               [] {
                                 std::string xfs;
                                 for (int k = 0; k < 8193; ++k) xfs += Xf(0);
                                 return xfs;
                               }(),
                               kDimensions)},
  };
  for (const auto& [what, stream] : cases) EXPECT_FALSE(CheckBiffStream(stream)) << what;
}

}  // namespace
}  // namespace telpod::xls
