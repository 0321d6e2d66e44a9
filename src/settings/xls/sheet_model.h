#pragma once

#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "settings/xls/cell_format.h"
#include "settings/xls/cell_range.h"

namespace telpod::xls {

// A cell's value: none, a number, or a text (UTF-8).
using CellValue = std::variant<std::monostate, double, std::string>;

struct Cell {
  CellValue value;
  CellFormat format;
};

struct ColumnWidth {
  ColumnSpan columns;
  double characters = 0.0;  // as ColumnWidth: widths of the digit "0"
};

// One worksheet, described the way the spreadsheet application's automation
// describes it: values and formats set on ranges, whole rows and the whole
// sheet, later calls overriding earlier ones. A format set on a range
// creates its cells, so formatted empty cells exist too. Cells a row or the
// sheet formats afterwards take the new format; cells created later start
// from their row's format.
class SheetModel {
 public:
  // Cells.Font.Size: the font of the whole sheet.
  void SetSheetFontSize(double size);
  // Rows(row).Font.Size.
  void SetRowFontSize(int row, double size);
  // Range.Value: every cell of the range gets `value`; "" empties them.
  void SetValue(const CellRange& range, const CellValue& value);
  // Range.Value = array: the values fill the range row by row.
  void SetValues(const CellRange& range, const std::vector<CellValue>& values);
  void SetFontSize(const CellRange& range, double size);
  void SetHorizontalAlignment(const CellRange& range, HorizontalAlignment alignment);
  void SetNumberFormat(const CellRange& range, const std::string& format);
  void SetInteriorColorIndex(const CellRange& range, int color_index);
  void SetBorderLineStyle(const CellRange& range, int line_style);
  void SetBorderColorIndex(const CellRange& range, int color_index);
  // Range.MergeCells = True: the top-left value stays, the others go.
  void Merge(const CellRange& range);
  // Columns(...).ColumnWidth.
  void SetColumnWidth(const ColumnSpan& columns, double characters);

  double sheet_font_size() const { return sheet_font_size_; }
  // Every cell that exists, by row then column.
  const std::map<CellRef, Cell>& cells() const { return cells_; }
  // Rows with a font of their own.
  const std::map<int, double>& row_font_sizes() const { return row_font_sizes_; }
  const std::vector<CellRange>& merges() const { return merges_; }
  const std::vector<ColumnWidth>& column_widths() const { return column_widths_; }
  // The format an untouched cell of `row` has.
  CellFormat RowFormat(int row) const;
  // The format of an untouched cell anywhere else.
  CellFormat SheetFormat() const;

 private:
  Cell& At(CellRef cell);
  template <typename Change>
  void Format(const CellRange& range, Change change);

  double sheet_font_size_ = kStandardFontSize;
  std::map<CellRef, Cell> cells_;
  std::map<int, double> row_font_sizes_;
  std::vector<CellRange> merges_;
  std::vector<ColumnWidth> column_widths_;
};

// Range("A6:N14") for sheet descriptions written in the program itself;
// throws std::invalid_argument for a malformed address.
CellRange Range(std::string_view address);
ColumnSpan Columns(std::string_view address);

}  // namespace telpod::xls
