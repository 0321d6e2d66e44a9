#include "settings/xls/cell_range.h"

#include <algorithm>
#include <utility>

namespace telpod::xls {
namespace {

// Reads column letters at the front of `text` ("AB7" -> 27, rest "7").
std::optional<int> TakeColumn(std::string_view& text) {
  int column = 0;
  size_t n = 0;
  while (n < text.size() && text[n] >= 'A' && text[n] <= 'Z' && n < 3) {
    column = column * 26 + (text[n] - 'A' + 1);
    ++n;
  }
  if (n == 0 || column > kMaxColumns) return std::nullopt;
  text.remove_prefix(n);
  return column - 1;
}

std::optional<int> TakeRow(std::string_view& text) {
  int row = 0;
  size_t n = 0;
  while (n < text.size() && text[n] >= '0' && text[n] <= '9' && n < 6) {
    row = row * 10 + (text[n] - '0');
    ++n;
  }
  if (n == 0 || row < 1 || row > kMaxRows) return std::nullopt;
  text.remove_prefix(n);
  return row - 1;
}

std::optional<CellRef> ParseCell(std::string_view text) {
  const auto column = TakeColumn(text);
  if (!column) return std::nullopt;
  const auto row = TakeRow(text);
  if (!row || !text.empty()) return std::nullopt;
  return CellRef{*row, *column};
}

std::pair<std::string_view, std::string_view> SplitAtColon(std::string_view address) {
  const auto colon = address.find(':');
  if (colon == std::string_view::npos) return {address, address};
  return {address.substr(0, colon), address.substr(colon + 1)};
}

}  // namespace

std::optional<CellRange> CellRange::Parse(std::string_view address) {
  const auto [from, to] = SplitAtColon(address);
  const auto a = ParseCell(from);
  const auto b = ParseCell(to);
  if (!a || !b) return std::nullopt;
  return CellRange{std::min(a->row, b->row), std::min(a->column, b->column),
                   std::max(a->row, b->row), std::max(a->column, b->column)};
}

std::optional<ColumnSpan> ColumnSpan::Parse(std::string_view address) {
  auto [from, to] = SplitAtColon(address);
  const auto a = TakeColumn(from);
  const auto b = TakeColumn(to);
  if (!a || !b || !from.empty() || !to.empty()) return std::nullopt;
  return ColumnSpan{std::min(*a, *b), std::max(*a, *b)};
}

}  // namespace telpod::xls
