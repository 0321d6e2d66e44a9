#include "settings/xls/sheet_model.h"

#include <stdexcept>
#include <string>

namespace telpod::xls {
namespace {

// An empty text leaves the cell empty, as typing nothing into it does;
// readers take an empty shared string for a damaged file.
CellValue Normalized(const CellValue& value) {
  const auto* text = std::get_if<std::string>(&value);
  return text != nullptr && text->empty() ? CellValue{} : value;
}

}  // namespace

void SheetModel::SetSheetFontSize(double size) {
  sheet_font_size_ = size;
  for (auto& [row, row_size] : row_font_sizes_) row_size = size;
  for (auto& [ref, cell] : cells_) cell.format.font_size = size;
}

void SheetModel::SetRowFontSize(int row, double size) {
  row_font_sizes_[row] = size;
  const auto first = cells_.lower_bound(CellRef{row, 0});
  const auto end = cells_.lower_bound(CellRef{row + 1, 0});
  for (auto it = first; it != end; ++it) it->second.format.font_size = size;
}

void SheetModel::SetValue(const CellRange& range, const CellValue& value) {
  for (int r = range.first_row; r <= range.last_row; ++r) {
    for (int c = range.first_column; c <= range.last_column; ++c)
      At({r, c}).value = Normalized(value);
  }
}

void SheetModel::SetValues(const CellRange& range, const std::vector<CellValue>& values) {
  size_t next = 0;
  for (int r = range.first_row; r <= range.last_row; ++r) {
    for (int c = range.first_column; c <= range.last_column; ++c) {
      At({r, c}).value = next < values.size() ? Normalized(values[next]) : CellValue{};
      ++next;
    }
  }
}

template <typename Change>
void SheetModel::Format(const CellRange& range, Change change) {
  for (int r = range.first_row; r <= range.last_row; ++r) {
    for (int c = range.first_column; c <= range.last_column; ++c) change(At({r, c}).format);
  }
}

void SheetModel::SetFontSize(const CellRange& range, double size) {
  Format(range, [size](CellFormat& f) { f.font_size = size; });
}

void SheetModel::SetHorizontalAlignment(const CellRange& range, HorizontalAlignment alignment) {
  Format(range, [alignment](CellFormat& f) { f.horizontal_alignment = alignment; });
}

void SheetModel::SetNumberFormat(const CellRange& range, const std::string& format) {
  Format(range, [&format](CellFormat& f) { f.number_format = format; });
}

void SheetModel::SetInteriorColorIndex(const CellRange& range, int color_index) {
  Format(range, [color_index](CellFormat& f) { f.interior_color_index = color_index; });
}

void SheetModel::SetBorderLineStyle(const CellRange& range, int line_style) {
  Format(range, [line_style](CellFormat& f) { f.border_line_style = line_style; });
}

void SheetModel::SetBorderColorIndex(const CellRange& range, int color_index) {
  Format(range, [color_index](CellFormat& f) { f.border_color_index = color_index; });
}

void SheetModel::Merge(const CellRange& range) {
  Format(range, [](CellFormat&) {});
  for (int r = range.first_row; r <= range.last_row; ++r) {
    for (int c = range.first_column; c <= range.last_column; ++c) {
      if (CellRef{r, c} != range.TopLeft()) At({r, c}).value = std::monostate{};
    }
  }
  merges_.push_back(range);
}

void SheetModel::SetColumnWidth(const ColumnSpan& columns, double characters) {
  column_widths_.push_back({columns, characters});
}

CellFormat SheetModel::SheetFormat() const {
  CellFormat format;
  format.font_size = sheet_font_size_;
  return format;
}

CellFormat SheetModel::RowFormat(int row) const {
  CellFormat format = SheetFormat();
  if (const auto it = row_font_sizes_.find(row); it != row_font_sizes_.end()) {
    format.font_size = it->second;
  }
  return format;
}

Cell& SheetModel::At(CellRef cell) {
  if (cell.row < 0 || cell.row >= kMaxRows || cell.column < 0 || cell.column >= kMaxColumns) {
    throw std::out_of_range("cell outside the sheet");
  }
  const auto [it, added] = cells_.try_emplace(cell);
  if (added) it->second.format = RowFormat(cell.row);
  return it->second;
}

CellRange Range(std::string_view address) {
  const auto range = CellRange::Parse(address);
  if (!range) throw std::invalid_argument("bad cell address: " + std::string(address));
  return *range;
}

ColumnSpan Columns(std::string_view address) {
  const auto span = ColumnSpan::Parse(address);
  if (!span) throw std::invalid_argument("bad column address: " + std::string(address));
  return *span;
}

}  // namespace telpod::xls
