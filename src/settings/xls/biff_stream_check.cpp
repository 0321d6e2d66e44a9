#include "settings/xls/biff_stream_check.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "settings/xls/biff_records.h"

namespace telpod::xls {
namespace {

constexpr uint64_t kMaxGridCells = uint64_t{1} << 20;  // FreeXL keeps 16 bytes per grid cell
constexpr size_t kMaxCells = size_t{1} << 18;
constexpr size_t kMaxXfs = 8192;         // FreeXL's table of cell formats
constexpr double kLastDate = 2958465.0;  // 9999-12-31

struct BiffRecord {
  size_t offset;
  uint16_t type;
  std::string_view body;
};

uint16_t U16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

uint32_t U32(std::string_view b, size_t at) {
  return U16(b, at) | static_cast<uint32_t>(U16(b, at + 2)) << 16;
}

double F64(std::string_view b, size_t at) {
  const uint64_t bits = U32(b, at) | static_cast<uint64_t>(U32(b, at + 4)) << 32;
  return std::bit_cast<double>(bits);
}

// An RK number: a 30-bit integer or the top of a double, maybe / 100.
double RkValue(uint32_t rk) {
  double v = (rk & 0x02) != 0 ? static_cast<double>(static_cast<int32_t>(rk) >> 2)
                              : std::bit_cast<double>(static_cast<uint64_t>(rk & ~3u) << 32);
  return (rk & 0x01) != 0 ? v / 100.0 : v;
}

// Records up to the end of the stream or a zero header, which readers
// take as its end; nullopt when a record runs past the end or its limit.
std::optional<std::vector<BiffRecord>> SplitRecords(std::string_view stream) {
  std::vector<BiffRecord> records;
  size_t at = 0;
  while (at + 4 <= stream.size()) {
    const uint16_t type = U16(stream, at);
    const uint16_t size = U16(stream, at + 2);
    if (type == 0 && size == 0) break;
    if (size > kMaxRecordBody || at + 4 + size > stream.size()) return std::nullopt;
    records.push_back({at, type, stream.substr(at + 4, size)});
    at += 4 + size;
  }
  return records;
}

// A BIFF8 string's header from its flag byte at `at`: the size of the
// header fields after the flags, and of the rich-text and phonetic data
// after the characters.
struct StringHeader {
  size_t size = 1;
  bool wide = false;
  size_t trailing = 0;
};

std::optional<StringHeader> ReadStringHeader(std::string_view body, size_t at) {
  if (at >= body.size()) return std::nullopt;
  const uint8_t flags = static_cast<uint8_t>(body[at]);
  StringHeader h;
  h.wide = (flags & 0x01) != 0;
  if ((flags & 0x08) != 0) {
    if (at + h.size + 2 > body.size()) return std::nullopt;
    h.trailing += 4 * size_t{U16(body, at + h.size)};
    h.size += 2;
  }
  if ((flags & 0x04) != 0) {
    if (at + h.size + 4 > body.size()) return std::nullopt;
    h.trailing += U32(body, at + h.size);
    h.size += 4;
  }
  return h;
}

// FreeXL's test for a date format: the letters of its code.
enum class FormatKind { Other, Date };

FormatKind KindOfCode(const std::u16string& code) {
  bool y = false, m = false, d = false;
  for (char16_t c : code) {
    y = y || c == 'y' || c == 'Y';
    m = m || c == 'm' || c == 'M';
    d = d || c == 'd' || c == 'D';
  }
  return (y && m) || (m && d) ? FormatKind::Date : FormatKind::Other;
}

class StreamCheck {
 public:
  bool Run(const std::vector<BiffRecord>& records) {
    if (records.empty() || records.front().type != kBof || records.front().body.size() < 4) {
      return false;
    }
    version_ = U16(records.front().body, 0);
    if (version_ != kBiff5 && version_ != kBiff8) return false;
    for (const auto& r : records) {
      if (!Check(r)) return false;
    }
    return EndSubstream() && !string_pending_ && SheetsAreComplete();
  }

 private:
  bool Check(const BiffRecord& r) {
    if (r.type == kContinue) return !in_sst_ || SharedStrings(r.body, false);
    if (in_sst_ && string_pending_) return false;  // a split text must go on at once
    in_sst_ = false;
    switch (r.type) {
      case kBof:
        return r.body.size() >= 4 && (in_substream_ || BeginSubstream(r.offset));
      case kEof:
        return EndSubstream();
      case kFilePass:
        return false;
      case kSst:
        if (sst_seen_) return false;  // one table only
        sst_seen_ = in_sst_ = true;
        return SharedStrings(r.body, true);
      case kBoundSheet:
        return SheetName(r.body);
      case kDimensions:
        return Dimensions(r.body);
      case kXf:
        return CellFormat(r.body);
      case kFormat:
        return NumberFormat(r.body);
      case kNumber:
        return r.body.size() >= 14 && Cell(r.body, 1) && Value(U16(r.body, 4), F64(r.body, 6));
      case kRk:
        return r.body.size() >= 10 && Cell(r.body, 1) &&
               Value(U16(r.body, 4), RkValue(U32(r.body, 6)));
      case kMulRk:
        return MulRk(r.body);
      case kLabel:
        return Label(r.body);
      case kLabelSst:
        return r.body.size() >= 10 && Cell(r.body, 1);
      case kBoolErr:
        return r.body.size() >= 8 && Cell(r.body, 1);
      default:
        return true;
    }
  }

  bool BeginSubstream(size_t offset) {
    in_substream_ = true;
    sheet_ = sheet_offsets_.contains(offset);
    if (sheet_) sheets_found_.insert(offset);
    if (offset == 0 && sheet_) return false;  // the globals are no sheet
    dimensions_ = 0;
    cells_.clear();
    return true;
  }

  bool EndSubstream() {
    if (in_substream_ && sheet_ && dimensions_ != 1) return false;
    in_substream_ = false;
    sheet_ = false;
    return true;
  }

  bool SheetsAreComplete() const { return sheets_found_.size() == sheet_offsets_.size(); }

  bool SheetName(std::string_view body) {
    if (body.size() < 8) return false;
    const size_t length = static_cast<uint8_t>(body[6]);
    const size_t bytes = version_ == kBiff8 ? 8 + length * (body[7] == 0 ? 1 : 2) : 7 + length;
    return bytes <= body.size() && sheet_offsets_.insert(U32(body, 0)).second;
  }

  bool Dimensions(std::string_view body) {
    if (!sheet_ || ++dimensions_ > 1) return false;
    const bool wide = version_ == kBiff8;
    if (body.size() < (wide ? 14u : 10u)) return false;
    const uint64_t rows = wide ? U32(body, 4) : U16(body, 2);
    const uint64_t columns = U16(body, wide ? 10 : 6);
    grid_cells_ += rows * columns;
    return grid_cells_ <= kMaxGridCells;
  }

  bool CellFormat(std::string_view body) {
    if (body.size() < 4 || xf_formats_.size() >= kMaxXfs) return false;
    xf_formats_.push_back(U16(body, 2));
    return true;
  }

  bool NumberFormat(std::string_view body) {
    std::u16string code;
    if (version_ == kBiff8) {
      if (body.size() < 5) return false;
      const size_t length = U16(body, 2);
      const auto header = ReadStringHeader(body, 4);
      if (!header || 4 + header->size + length * (header->wide ? 2 : 1) > body.size()) return false;
      for (size_t k = 0, at = 4 + header->size; k < length; ++k) {
        code.push_back(header->wide ? U16(body, at + 2 * k) : static_cast<uint8_t>(body[at + k]));
      }
    } else {
      // Excel 5: FreeXL reads the count byte and what follows as the code.
      if (body.size() < 4) return false;
      const size_t length = static_cast<uint8_t>(body[3]);
      if (3 + length > body.size()) return false;
      for (size_t k = 0; k < length; ++k) code.push_back(static_cast<uint8_t>(body[3 + k]));
    }
    if (KindOfCode(code) == FormatKind::Date) date_formats_.insert(U16(body, 0));
    return true;
  }

  bool IsDateFormat(uint16_t xf) const {
    if (xf >= xf_formats_.size()) return false;
    const uint16_t format = xf_formats_[xf];
    return (format >= 14 && format <= 17) || format == 22 || date_formats_.contains(format);
  }

  // A number in a date cell becomes a date by counting days one by one.
  bool Value(uint16_t xf, double value) const {
    return !IsDateFormat(xf) || std::fabs(value) <= kLastDate;
  }

  // Cells belong to a sheet and are written once each.
  bool Cell(std::string_view body, size_t count) {
    if (!sheet_) return false;
    const uint64_t row = U16(body, 0);
    const uint64_t column = U16(body, 2);
    for (uint64_t k = 0; k < count; ++k) {
      if (++cell_count_ > kMaxCells || !cells_.insert(row << 32 | (column + k)).second) {
        return false;
      }
    }
    return true;
  }

  bool MulRk(std::string_view body) {
    if (body.size() < 6) return false;
    // FreeXL takes 6-byte entries while more than 6 bytes are left.
    size_t count = 0;
    for (size_t at = 4; at + 6 < body.size(); at += 6, ++count) {
      if (!Value(U16(body, at), RkValue(U32(body, at + 2)))) return false;
    }
    return Cell(body, count);
  }

  bool Label(std::string_view body) {
    if (body.size() < 8 || !Cell(body, 1)) return false;
    const size_t length = U16(body, 6);
    if (version_ != kBiff8) return 8 + length <= body.size();
    const auto header = ReadStringHeader(body, 8);
    return header && 8 + header->size + length * (header->wide ? 2 : 1) <= body.size();
  }

  // The shared strings as FreeXL walks them: each header whole in its
  // record, the characters in this record or (the rest) wholly in the next
  // one, and the trailing data in the record where the characters end.
  bool SharedStrings(std::string_view body, bool first) {
    size_t at = 0;
    if (first) {
      if (body.size() < 8) return false;
      strings_left_ = U32(body, 4);
      at = 8;
    } else if (string_pending_) {
      if (body.empty()) return false;
      const bool wide = (body[0] & 0x01) != 0;
      const size_t end = 1 + pending_chars_ * (wide ? 2 : 1);
      if (end + pending_trailing_ > body.size()) return false;
      at = end + pending_trailing_;
      string_pending_ = false;
      --strings_left_;
    }
    while (strings_left_ > 0 && at < body.size()) {
      if (at + 2 > body.size()) return false;
      const size_t length = U16(body, at);
      const auto header = ReadStringHeader(body, at + 2);
      if (!header) return false;
      at += 2 + header->size;
      const size_t available = body.size() - at;
      const size_t bytes = length * (header->wide ? 2 : 1);
      if (bytes > available) {
        if (header->wide && available % 2 != 0) return false;
        pending_chars_ = length - available / (header->wide ? 2 : 1);
        pending_trailing_ = header->trailing;
        string_pending_ = true;
        return true;
      }
      if (at + bytes + header->trailing > body.size()) return false;
      at += bytes + header->trailing;
      --strings_left_;
    }
    return true;
  }

  uint16_t version_ = 0;
  bool in_substream_ = false;
  bool sheet_ = false;
  int dimensions_ = 0;
  std::set<uint32_t> sheet_offsets_;
  std::set<uint32_t> sheets_found_;
  uint64_t grid_cells_ = 0;
  size_t cell_count_ = 0;
  std::unordered_set<uint64_t> cells_;
  std::vector<uint16_t> xf_formats_;
  std::set<uint16_t> date_formats_;
  bool sst_seen_ = false;
  bool in_sst_ = false;
  uint32_t strings_left_ = 0;
  bool string_pending_ = false;
  size_t pending_chars_ = 0;
  size_t pending_trailing_ = 0;
};

}  // namespace

bool CheckBiffStream(std::string_view stream) {
  const auto records = SplitRecords(stream);
  return records && StreamCheck().Run(*records);
}

unsigned ActiveSheetIndex(std::string_view stream) {
  constexpr size_t kSelectedTab = 10;  // itabCur, after position, size and flags
  const auto records = SplitRecords(stream);
  if (!records) return 0;
  for (const auto& r : *records) {
    if (r.type == kEof) break;  // the workbook's own records end here
    if (r.type == kWindow1 && r.body.size() >= kSelectedTab + 2) return U16(r.body, kSelectedTab);
  }
  return 0;
}

}  // namespace telpod::xls
