#include "settings/xls/biff_workbook_writer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <variant>

#include "settings/xls/biff_format_table.h"
#include "settings/xls/biff_record_writer.h"
#include "settings/xls/biff_records.h"
#include "settings/xls/biff_shared_strings.h"

namespace telpod::xls {
namespace {

constexpr uint16_t kGlobalsSubstream = 0x0005;
constexpr uint16_t kWorksheetSubstream = 0x0010;
constexpr uint16_t kUtf16Codepage = 1200;
constexpr uint16_t kJapan = 81;
constexpr size_t kWriteAccessSize = 112;
constexpr const char* kWriter = "TELPOD";
constexpr size_t kMaxMergesPerRecord = 1027;
constexpr int kRowsPerBlock = 32;

// Column widths are kept in 1/256 of the digit width of the standard font,
// and include the cell's padding: 5 pixels beside a 7-pixel digit (the
// 10-point sheet font at 96 dpi).
constexpr double kDigitPixels = 7.0;
constexpr double kPaddingPixels = 5.0;

uint16_t ColumnWidthUnits(double characters) {
  if (!std::isfinite(characters) || characters <= 0.0) return 0;
  const double pixels = std::trunc(std::min(characters, 255.0) * kDigitPixels + kPaddingPixels);
  return static_cast<uint16_t>(std::trunc(pixels / kDigitPixels * 256.0));
}

// A row fits its largest font: 1.2 lines, rounded up to whole pixels
// (0.75 point); heights are in twips.
uint16_t RowHeightTwips(double points) {
  const double line = UsableFontSize(points) * 1.2;
  return static_cast<uint16_t>(std::lround(std::ceil(line / 0.75) * 0.75 * 20.0));
}

void WriteBof(BiffRecordWriter& out, uint16_t substream) {
  out.Begin(kBof);
  out.U16(kBiff8);
  out.U16(substream);
  out.U16(0x0DBB);  // build and year of the BIFF8 writers
  out.U16(0x07CC);
  out.U32(0);
  out.U32(0x0006);  // lowest BIFF version that can read it
  out.End();
}

void WriteWriteAccess(BiffRecordWriter& out) {
  const std::u16string name = Utf8ToUtf16(kWriter);
  out.Begin(kWriteAccess);
  out.UnicodeString(name, 2);
  const size_t used = 3 + 2 * name.size();
  for (size_t k = used; k < kWriteAccessSize; ++k) out.U8(' ');
  out.End();
}

// Returns the offset of the sheet's stream position, to patch later.
size_t WriteGlobals(BiffRecordWriter& out, const BiffFormatTable& formats,
                    const BiffSharedStrings& strings, const std::string& sheet_name) {
  WriteBof(out, kGlobalsSubstream);
  out.Record(kInterfaceHdr, {kUtf16Codepage});
  out.Record(kMms, {0});
  out.Record(kInterfaceEnd, {});
  WriteWriteAccess(out);
  out.Record(kCodepage, {kUtf16Codepage});
  out.Record(kDsf, {0});
  out.Record(kTabId, {1});
  out.Record(kFnGroupCount, {0x000E});
  out.Record(kWindowProtect, {0});
  out.Record(kProtect, {0});
  out.Record(kPassword, {0});
  out.Record(kProt4Rev, {0});
  out.Record(kProt4RevPass, {0});
  // Window position and size, scroll bars and tabs shown, sheet 0 active.
  out.Record(kWindow1, {0x01E0, 0x005A, 0x3FCF, 0x2A4E, 0x0038, 0, 0, 1, 0x0258});
  out.Record(kBackup, {0});
  out.Record(kHideObj, {0});
  out.Record(kDate1904, {0});
  out.Record(kPrecision, {1});
  out.Record(kRefreshAll, {0});
  out.Record(kBookBool, {0});
  formats.Write(out);

  out.Begin(kBoundSheet);
  const size_t position = out.size();
  out.U32(0);  // the sheet's BOF, patched once known
  out.U8(0);   // visible
  out.U8(0);   // worksheet
  std::u16string name = Utf8ToUtf16(sheet_name).substr(0, 31);
  out.UnicodeString(name, 1);
  out.End();

  out.Record(kCountry, {kJapan, kJapan});
  strings.Write(out);
  out.Record(kEof, {});
  return position;
}

void WriteSheetSettings(BiffRecordWriter& out, uint16_t default_row_height) {
  out.Record(kCalcMode, {1});
  out.Record(kCalcCount, {100});
  out.Record(kRefMode, {1});
  out.Record(kIteration, {0});
  out.Begin(kDelta);
  out.F64(0.001);
  out.End();
  out.Record(kSaveRecalc, {1});
  out.Record(kPrintHeaders, {0});
  out.Record(kPrintGridlines, {0});
  out.Record(kGridSet, {1});
  out.Record(kGuts, {0, 0, 0, 0});
  out.Record(kDefaultRowHeight, {0, default_row_height});
  out.Record(kWsBool, {0x04C1});
  out.Record(kHeader, {});
  out.Record(kFooter, {});
  out.Record(kHCenter, {0});
  out.Record(kVCenter, {0});
  // A4, 100 %, first page 1, fit 1 x 1, printer settings left to the printer.
  out.Begin(kSetup);
  for (uint16_t w : {9, 100, 1, 1, 1, 0x0004, 600, 600}) out.U16(w);
  out.F64(0.5);
  out.F64(0.5);
  out.U16(1);
  out.End();
}

struct RowSpan {
  int first_column = 0;
  int last_column = -1;
  double font_size = 0.0;
};

class SheetWriter {
 public:
  SheetWriter(BiffRecordWriter& out, const SheetModel& sheet, const BiffFormatTable& formats,
              BiffSharedStrings& strings)
      : out_(out), sheet_(sheet), formats_(formats), strings_(strings) {}

  // Cells go first through the shared strings so the globals can list them.
  void CollectStrings() {
    for (const auto& [ref, cell] : sheet_.cells()) {
      if (const auto* text = std::get_if<std::string>(&cell.value)) {
        string_index_[ref] = strings_.Add(*text);
      }
    }
  }

  void Write() {
    WriteBof(out_, kWorksheetSubstream);
    WriteSheetSettings(out_, RowHeightTwips(sheet_.sheet_font_size()));
    out_.Record(kDefColWidth, {8});
    for (const auto& width : sheet_.column_widths()) {
      out_.Record(
          kColInfo,
          {static_cast<uint16_t>(width.columns.first), static_cast<uint16_t>(width.columns.last),
           ColumnWidthUnits(width.characters), formats_.XfIndex(sheet_.SheetFormat()), 0x0002, 0});
    }
    const auto rows = Rows();
    WriteDimensions(rows);
    for (auto block = rows.begin(); block != rows.end();) {
      auto end = block;
      while (end != rows.end() && end->first / kRowsPerBlock == block->first / kRowsPerBlock) {
        ++end;
      }
      for (auto it = block; it != end; ++it) WriteRow(it->first, it->second);
      for (auto it = block; it != end; ++it) WriteCells(it->first);
      block = end;
    }
    WriteWindow();
    WriteMerges();
    out_.Record(kEof, {});
  }

 private:
  std::map<int, RowSpan> Rows() const {
    std::map<int, RowSpan> rows;
    for (const auto& [row, size] : sheet_.row_font_sizes()) rows[row].font_size = size;
    for (const auto& [ref, cell] : sheet_.cells()) {
      RowSpan& span = rows[ref.row];
      if (span.last_column < 0) span.first_column = ref.column;
      span.last_column = ref.column;
      span.font_size = std::max(span.font_size, cell.format.font_size);
    }
    return rows;
  }

  void WriteDimensions(const std::map<int, RowSpan>& rows) {
    uint32_t first_row = 0, end_row = 0;
    uint16_t first_column = 0, end_column = 0;
    if (!sheet_.cells().empty()) {
      first_row = static_cast<uint32_t>(sheet_.cells().begin()->first.row);
      end_row = static_cast<uint32_t>(sheet_.cells().rbegin()->first.row + 1);
      int low = kMaxColumns, high = -1;
      for (const auto& [row, span] : rows) {
        if (span.last_column < 0) continue;
        low = std::min(low, span.first_column);
        high = std::max(high, span.last_column);
      }
      first_column = static_cast<uint16_t>(low);
      end_column = static_cast<uint16_t>(high + 1);
    }
    out_.Begin(kDimensions);
    out_.U32(first_row);
    out_.U32(end_row);
    out_.U16(first_column);
    out_.U16(end_column);
    out_.U16(0);
    out_.End();
  }

  void WriteRow(int row, const RowSpan& span) {
    const bool formatted = sheet_.row_font_sizes().contains(row);
    const uint16_t xf = formats_.XfIndex(sheet_.RowFormat(row));
    out_.Begin(kRow);
    out_.U16(static_cast<uint16_t>(row));
    out_.U16(static_cast<uint16_t>(span.last_column < 0 ? 0 : span.first_column));
    out_.U16(static_cast<uint16_t>(span.last_column + 1));
    out_.U16(RowHeightTwips(std::max(span.font_size, sheet_.sheet_font_size())));
    out_.U16(0);
    out_.U16(0);
    out_.U16(static_cast<uint16_t>(0x0100 | (formatted ? 0x0080 : 0)));  // 0x80: own format
    out_.U16(xf);
    out_.End();
  }

  void WriteCells(int row) {
    const auto first = sheet_.cells().lower_bound(CellRef{row, 0});
    const auto end = sheet_.cells().lower_bound(CellRef{row + 1, 0});
    for (auto it = first; it != end; ++it) {
      const auto& [ref, cell] = *it;
      const uint16_t xf = formats_.XfIndex(cell.format);
      if (const auto* number = std::get_if<double>(&cell.value)) {
        out_.Begin(kNumber);
        CellHeader(ref, xf);
        out_.F64(*number);
      } else if (std::holds_alternative<std::string>(cell.value)) {
        out_.Begin(kLabelSst);
        CellHeader(ref, xf);
        out_.U32(string_index_.at(ref));
      } else {
        out_.Begin(kBlank);
        CellHeader(ref, xf);
      }
      out_.End();
    }
  }

  void CellHeader(CellRef ref, uint16_t xf) {
    out_.U16(static_cast<uint16_t>(ref.row));
    out_.U16(static_cast<uint16_t>(ref.column));
    out_.U16(xf);
  }

  void WriteWindow() {
    // Grid, headers, zeros and outline symbols shown; the sheet selected
    // and active; A1 the active cell.
    out_.Record(kWindow2, {0x06B6, 0, 0, 0x0040, 0, 0, 0, 0, 0});
    out_.Begin(kSelection);
    out_.U8(3);   // the only pane
    out_.U16(0);  // active cell A1
    out_.U16(0);
    out_.U16(0);
    out_.U16(1);  // one range, A1:A1
    out_.U16(0);
    out_.U16(0);
    out_.U8(0);
    out_.U8(0);
    out_.End();
  }

  void WriteMerges() {
    const auto& merges = sheet_.merges();
    for (size_t start = 0; start < merges.size(); start += kMaxMergesPerRecord) {
      const size_t n = std::min(kMaxMergesPerRecord, merges.size() - start);
      out_.Begin(kMergeCells);
      out_.U16(static_cast<uint16_t>(n));
      for (size_t k = start; k < start + n; ++k) {
        out_.U16(static_cast<uint16_t>(merges[k].first_row));
        out_.U16(static_cast<uint16_t>(merges[k].last_row));
        out_.U16(static_cast<uint16_t>(merges[k].first_column));
        out_.U16(static_cast<uint16_t>(merges[k].last_column));
      }
      out_.End();
    }
  }

  BiffRecordWriter& out_;
  const SheetModel& sheet_;
  const BiffFormatTable& formats_;
  BiffSharedStrings& strings_;
  std::map<CellRef, uint32_t> string_index_;
};

}  // namespace

std::string WriteBiff8Workbook(const SheetModel& sheet, const std::string& sheet_name) {
  const BiffFormatTable formats(sheet);
  BiffSharedStrings strings;
  BiffRecordWriter out;
  SheetWriter sheet_writer(out, sheet, formats, strings);
  sheet_writer.CollectStrings();
  const size_t sheet_position = WriteGlobals(out, formats, strings, sheet_name);
  out.PatchU32(sheet_position, static_cast<uint32_t>(out.size()));
  sheet_writer.Write();
  return out.bytes();
}

}  // namespace telpod::xls
