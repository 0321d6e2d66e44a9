#pragma once

#include <algorithm>
#include <cmath>
#include <compare>
#include <string>

namespace telpod::xls {

// Formatting values carry the spreadsheet automation's own constants, so the
// sheet description reads as the automation calls would.

// HorizontalAlignment: xlGeneral, xlLeft, xlCenter, xlRight.
enum class HorizontalAlignment { General = 1, Left = -4131, Center = -4108, Right = -4152 };

// ColorIndex 1..56 picks an entry of the workbook palette; xlNone leaves a
// cell unfilled, xlColorIndexAutomatic draws borders in the window colour.
inline constexpr int kColorIndexNone = -4142;
inline constexpr int kColorIndexAutomatic = -4105;
inline constexpr int kPaletteSize = 56;

// Border LineStyle: xlLineStyleNone, xlContinuous, xlDash, xlDot, xlDouble.
inline constexpr int kLineStyleNone = -4142;
inline constexpr int kLineStyleContinuous = 1;
inline constexpr int kLineStyleDash = -4115;
inline constexpr int kLineStyleDot = -4118;
inline constexpr int kLineStyleDouble = -4119;

// NumberFormat texts.
inline constexpr const char* kFormatGeneral = "General";
inline constexpr const char* kFormatText = "@";

inline constexpr double kStandardFontSize = 10.0;

// A font size as the application takes it: 1 to 409 points.
inline double UsableFontSize(double points) {
  return std::isfinite(points) ? std::clamp(points, 1.0, 409.0) : kStandardFontSize;
}

// Everything a cell can carry besides its value. Borders are all four
// edges alike, as Borders.LineStyle on a range sets them.
struct CellFormat {
  double font_size = kStandardFontSize;
  HorizontalAlignment horizontal_alignment = HorizontalAlignment::General;
  std::string number_format = kFormatGeneral;
  int interior_color_index = kColorIndexNone;
  int border_line_style = kLineStyleNone;
  int border_color_index = kColorIndexAutomatic;

  auto operator<=>(const CellFormat&) const = default;
};

}  // namespace telpod::xls
