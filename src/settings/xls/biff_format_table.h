#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/xls/biff_record_writer.h"
#include "settings/xls/cell_format.h"
#include "settings/xls/sheet_model.h"

namespace telpod::xls {

// The workbook's formatting tables for one sheet: fonts, number formats,
// the extended formats (XF) that cells and rows refer to, the Normal style
// and the colour palette.
//
// Layout as Excel keeps it: fonts 0..3 are the standard font and index 4
// does not exist, so other sizes start at 5; XFs 0..14 are style records
// and cells refer to 15 and above, 15 being the plain cell; number formats
// of our own start at 164.
class BiffFormatTable {
 public:
  static constexpr uint16_t kFirstCellXf = 15;

  // Collects every format the sheet uses.
  explicit BiffFormatTable(const SheetModel& sheet);

  // XF of a format the sheet uses (throws std::out_of_range otherwise).
  uint16_t XfIndex(const CellFormat& format) const;

  // FONT, FORMAT, XF, STYLE and PALETTE records.
  void Write(BiffRecordWriter& out) const;

 private:
  void Add(const CellFormat& format);
  uint16_t FontIndex(double size) const;
  uint16_t NumberFormatIndex(const std::string& format) const;
  void WriteFont(BiffRecordWriter& out, double size) const;
  void WriteCellXf(BiffRecordWriter& out, const CellFormat& format) const;

  double standard_font_size_;
  std::vector<double> other_font_sizes_;
  std::vector<std::string> custom_number_formats_;
  std::vector<CellFormat> cell_formats_;
};

}  // namespace telpod::xls
