#include "settings/xls/biff_format_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <stdexcept>

#include "settings/xls/biff_records.h"

namespace telpod::xls {
namespace {

// The sheet font of Japanese Excel; viewers substitute what they have.
constexpr const char* kFontName = "ＭＳ Ｐゴシック";
constexpr uint8_t kShiftJisCharset = 128;
constexpr uint16_t kAutomaticFontColour = 0x7FFF;
constexpr uint16_t kNormalWeight = 400;
constexpr int kStandardFonts = 4;  // 0..3; index 4 is never used
constexpr uint16_t kFirstCustomFormat = 164;
constexpr int kStyleXfs = 15;

// Palette colour i + 8 (ColorIndex i + 1): Excel 97's default palette.
constexpr std::array<uint32_t, kPaletteSize> kDefaultPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

// Colour indices in the file: the palette starts at 8; 64 is the window
// text colour, 65 the window background.
constexpr uint16_t kWindowText = 64;
constexpr uint16_t kWindowBackground = 65;

std::optional<uint16_t> PaletteIndex(int color_index) {
  if (color_index < 1 || color_index > kPaletteSize) return std::nullopt;
  return static_cast<uint16_t>(color_index + 7);
}

// Border line styles in the file: 0 none, 1 thin, 3 dashed, 4 dotted,
// 6 double, 9 dash-dot, 11 dash-dot-dot, 13 slanted dash-dot.
uint32_t LineStyleCode(int line_style) {
  switch (line_style) {
    case kLineStyleNone:
      return 0;
    case kLineStyleDash:
      return 3;
    case kLineStyleDot:
      return 4;
    case kLineStyleDouble:
      return 6;
    case 4:
      return 9;  // xlDashDot
    case 5:
      return 11;  // xlDashDotDot
    case 13:
      return 13;  // xlSlantDashDot
    default:
      return 1;  // xlContinuous and anything unknown: a thin line
  }
}

uint8_t AlignmentCode(HorizontalAlignment alignment) {
  switch (alignment) {
    case HorizontalAlignment::Left:
      return 1;
    case HorizontalAlignment::Center:
      return 2;
    case HorizontalAlignment::Right:
      return 3;
    default:
      return 0;
  }
}

constexpr uint8_t kVerticalBottom = 2 << 4;

// Font heights are in twips.
uint16_t Twips(double points) {
  return static_cast<uint16_t>(std::lround(UsableFontSize(points) * 20.0));
}

const std::map<std::string, uint16_t>& BuiltInNumberFormats() {
  static const std::map<std::string, uint16_t> formats = {
      {kFormatGeneral, 0}, {"0", 1},      {"0.00", 2},      {"#,##0", 3},     {"#,##0.00", 4},
      {"0%", 9},           {"0.00%", 10}, {"0.00E+00", 11}, {kFormatText, 49}};
  return formats;
}

void WriteXf(BiffRecordWriter& out, uint16_t font, uint16_t number_format, uint16_t kind,
             uint8_t alignment, uint8_t used, uint32_t border1, uint32_t border2, uint16_t fill) {
  out.Begin(kXf);
  out.U16(font);
  out.U16(number_format);
  out.U16(kind);
  out.U8(alignment);
  out.U8(0);  // rotation
  out.U8(0);  // indent, shrink, reading order
  out.U8(used);
  out.U32(border1);
  out.U32(border2);
  out.U16(fill);
  out.End();
}

}  // namespace

BiffFormatTable::BiffFormatTable(const SheetModel& sheet)
    : standard_font_size_(sheet.sheet_font_size()) {
  Add(sheet.SheetFormat());
  for (const auto& [row, size] : sheet.row_font_sizes()) Add(sheet.RowFormat(row));
  for (const auto& [ref, cell] : sheet.cells()) Add(cell.format);
}

void BiffFormatTable::Add(const CellFormat& format) {
  if (std::find(cell_formats_.begin(), cell_formats_.end(), format) != cell_formats_.end()) {
    return;
  }
  if (cell_formats_.size() + kFirstCellXf >= 4000) throw std::length_error("too many formats");
  cell_formats_.push_back(format);
  if (Twips(format.font_size) != Twips(standard_font_size_) &&
      std::none_of(other_font_sizes_.begin(), other_font_sizes_.end(),
                   [&](double s) { return Twips(s) == Twips(format.font_size); })) {
    other_font_sizes_.push_back(format.font_size);
  }
  if (!BuiltInNumberFormats().contains(format.number_format) &&
      std::find(custom_number_formats_.begin(), custom_number_formats_.end(),
                format.number_format) == custom_number_formats_.end()) {
    custom_number_formats_.push_back(format.number_format);
  }
}

uint16_t BiffFormatTable::XfIndex(const CellFormat& format) const {
  const auto it = std::find(cell_formats_.begin(), cell_formats_.end(), format);
  if (it == cell_formats_.end()) throw std::out_of_range("format not collected");
  return static_cast<uint16_t>(kFirstCellXf + (it - cell_formats_.begin()));
}

uint16_t BiffFormatTable::FontIndex(double size) const {
  if (Twips(size) == Twips(standard_font_size_)) return 0;
  for (size_t k = 0; k < other_font_sizes_.size(); ++k) {
    if (Twips(other_font_sizes_[k]) == Twips(size)) {
      return static_cast<uint16_t>(kStandardFonts + 1 + k);
    }
  }
  throw std::out_of_range("font not collected");
}

uint16_t BiffFormatTable::NumberFormatIndex(const std::string& format) const {
  if (const auto it = BuiltInNumberFormats().find(format); it != BuiltInNumberFormats().end()) {
    return it->second;
  }
  const auto it = std::find(custom_number_formats_.begin(), custom_number_formats_.end(), format);
  return static_cast<uint16_t>(kFirstCustomFormat + (it - custom_number_formats_.begin()));
}

void BiffFormatTable::WriteFont(BiffRecordWriter& out, double size) const {
  static const std::u16string name = Utf8ToUtf16(kFontName);
  out.Begin(kFont);
  out.U16(Twips(size));
  out.U16(0);  // not italic, not struck out
  out.U16(kAutomaticFontColour);
  out.U16(kNormalWeight);
  out.U16(0);  // no super- or subscript
  out.U8(0);   // no underline
  out.U8(0);   // family
  out.U8(kShiftJisCharset);
  out.U8(0);
  out.UnicodeString(name, 1);
  out.End();
}

void BiffFormatTable::WriteCellXf(BiffRecordWriter& out, const CellFormat& f) const {
  const uint16_t font = FontIndex(f.font_size);
  const uint16_t number_format = NumberFormatIndex(f.number_format);
  const uint32_t line = LineStyleCode(f.border_line_style);
  const uint32_t line_colour =
      line == 0 ? 0 : PaletteIndex(f.border_color_index).value_or(kWindowText);
  const auto fill_colour = PaletteIndex(f.interior_color_index);

  // Bits saying which attributes this cell sets itself rather than taking
  // from the Normal style: number format, font, alignment, border, fill.
  uint8_t used = 0;
  if (number_format != 0) used |= 0x04;
  if (font != 0) used |= 0x08;
  if (f.horizontal_alignment != HorizontalAlignment::General) used |= 0x10;
  if (line != 0) used |= 0x20;
  if (fill_colour) used |= 0x40;

  const uint32_t border1 =
      line | line << 4 | line << 8 | line << 12 | line_colour << 16 | line_colour << 23;
  uint32_t border2 = line_colour | line_colour << 7;
  uint16_t fill = static_cast<uint16_t>(kWindowText | kWindowBackground << 7);
  if (fill_colour) {
    border2 |= 1u << 26;  // solid pattern
    fill = static_cast<uint16_t>(*fill_colour | kWindowText << 7);
  }
  constexpr uint16_t kLockedCellOfNormalStyle = 0x0001;
  WriteXf(out, font, number_format, kLockedCellOfNormalStyle,
          static_cast<uint8_t>(AlignmentCode(f.horizontal_alignment) | kVerticalBottom), used,
          border1, border2, fill);
}

void BiffFormatTable::Write(BiffRecordWriter& out) const {
  for (int k = 0; k < kStandardFonts; ++k) WriteFont(out, standard_font_size_);
  for (double size : other_font_sizes_) WriteFont(out, size);

  for (size_t k = 0; k < custom_number_formats_.size(); ++k) {
    out.Begin(kFormat);
    out.U16(static_cast<uint16_t>(kFirstCustomFormat + k));
    out.UnicodeString(Utf8ToUtf16(custom_number_formats_[k]), 2);
    out.End();
  }

  // Style XFs: 0 is Normal; 1..14 stand for the other built-in styles.
  constexpr uint16_t kStyleRecord = 0xFFF5;  // locked, style, no parent
  constexpr uint16_t kNoFill = kWindowText | kWindowBackground << 7;
  for (int k = 0; k < kStyleXfs; ++k) {
    WriteXf(out, 0, 0, kStyleRecord, kVerticalBottom, k == 0 ? 0x00 : 0xF4, 0, 0, kNoFill);
  }
  for (const auto& format : cell_formats_) WriteCellXf(out, format);

  out.Begin(kStyle);
  out.U16(0x8000);  // built-in style on XF 0
  out.U8(0);        // Normal
  out.U8(0xFF);
  out.End();

  out.Begin(kPalette);
  out.U16(kPaletteSize);
  for (uint32_t rgb : kDefaultPalette) {
    out.U8(static_cast<uint8_t>(rgb >> 16));
    out.U8(static_cast<uint8_t>(rgb >> 8));
    out.U8(static_cast<uint8_t>(rgb));
    out.U8(0);
  }
  out.End();
}

}  // namespace telpod::xls
