#pragma once

#include <compare>
#include <optional>
#include <string_view>

namespace telpod::xls {

// Row and column numbers count from 0 (A1 is row 0, column 0), as the file
// format counts them. BIFF8 sheets have 65536 rows and 256 columns.
inline constexpr int kMaxRows = 65536;
inline constexpr int kMaxColumns = 256;

struct CellRef {
  int row = 0;
  int column = 0;
  auto operator<=>(const CellRef&) const = default;
};

// A rectangle of cells, both corners included.
struct CellRange {
  int first_row = 0;
  int first_column = 0;
  int last_row = 0;
  int last_column = 0;

  CellRef TopLeft() const { return {first_row, first_column}; }
  bool operator==(const CellRange&) const = default;

  // "F1" or "A6:N14" (upper case, corners in either order); nullopt for
  // anything else or a cell beyond the sheet.
  static std::optional<CellRange> Parse(std::string_view address);
};

// A run of whole columns: "M" or "E:L".
struct ColumnSpan {
  int first = 0;
  int last = 0;
  static std::optional<ColumnSpan> Parse(std::string_view address);
};

}  // namespace telpod::xls
