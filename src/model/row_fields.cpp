#include "model/row_fields.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "model/can_frame.h"

namespace telpod {

namespace {

constexpr int32_t kMaxExtendedId = static_cast<int32_t>(CanFrame::kMaxExtendedId);

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Whole number by the decimal rules, kept only inside [low, high].
std::optional<int32_t> WholeInRange(std::string_view text, int32_t low, int32_t high) {
  const auto v = ParseWholeNumber(text);
  if (!v || *v < low || *v > high) return std::nullopt;
  return v;
}

std::optional<uint32_t> HexInRange(std::string_view text, uint32_t high) {
  const auto v = ParseHex(text);
  if (!v || *v > high) return std::nullopt;
  return v;
}

// D1 -> 1 .. D8 -> 8.
int DataByteNumber(RowColumn column) {
  return static_cast<int>(column) - static_cast<int>(RowColumn::D1) + 1;
}

// A period with its fraction, kept only inside [1, 32-bit limit].
std::optional<double> ExactPeriod(std::string_view text) {
  const auto v = ParseDecimal(text);
  if (!v || *v < 1.0 || *v > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return v;
}

// Stores the value `text` gives, or `fallback` when it gives none.
template <typename T, typename Store>
FieldRead StoreOr(std::string_view text, const std::optional<T>& value, T fallback, Store store) {
  store(value.value_or(fallback));
  if (value) return FieldRead::Taken;
  return text.empty() ? FieldRead::Empty : FieldRead::Replaced;
}

}  // namespace

std::string FormatHex(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", value);
  return buffer;
}

std::string FormatByteHex(uint8_t value) {
  char buffer[4];
  std::snprintf(buffer, sizeof buffer, "%02X", value);
  return buffer;
}

std::string FormatDecimal(double value) {
  // Fixed notation: the plain form would otherwise lose to "1e+05" for
  // 100000. The longest shortest fixed form of a double is about 330 chars.
  char buffer[400];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, r.ptr);
}

std::optional<uint32_t> ParseHex(std::string_view text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    uint32_t digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    } else {
      return std::nullopt;
    }
    value = (value << 4) | digit;
  }
  return value;
}

std::optional<double> ParseDecimal(std::string_view text) {
  text = TrimBlanks(text);
  if (text.empty()) return std::nullopt;
  size_t i = 0;
  if (text[i] == '+' || text[i] == '-') ++i;
  size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponent_digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++exponent_digits;
    if (exponent_digits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  // from_chars takes no leading '+'.
  std::string_view body = text.front() == '+' ? text.substr(1) : text;
  double value = 0.0;
  const auto r = std::from_chars(body.data(), body.data() + body.size(), value);
  if (r.ec != std::errc() || r.ptr != body.data() + body.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<int32_t> ParseWholeNumber(std::string_view text) {
  const auto v = ParseDecimal(text);
  if (!v) return std::nullopt;
  const double rounded = std::nearbyint(*v);  // the default rounding mode: halves to even
  if (rounded < std::numeric_limits<int32_t>::min() ||
      rounded > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(rounded);
}

int32_t IdOrDefault(int32_t id) {
  return id >= 0 && id <= kMaxExtendedId ? id : row_default::kId;
}

uint8_t DlcOrDefault(uint8_t dlc) {
  return dlc <= CAN_SendDB::kDataBytes ? dlc : row_default::kDlc;
}

double PeriodOrDefault(double period) {
  return std::isfinite(period) && period >= 1.0 ? period : row_default::kPeriod;
}

FieldRead StoreRowColumn(CAN_SendDB& db, int16_t i, RowColumn column, std::string_view text,
                         PeriodFraction period) {
  switch (column) {
    case RowColumn::E:
      return StoreOr(text, WholeInRange(text, 0, 1), 0,
                     [&](int32_t v) { db.set_CAN_Send29(i, static_cast<uint8_t>(v)); });
    case RowColumn::ID:
      return StoreOr(text, HexInRange(text, kMaxExtendedId), uint32_t{row_default::kId},
                     [&](uint32_t v) { db.set_CAN_ID(i, static_cast<int32_t>(v)); });
    case RowColumn::DLC:
      return StoreOr(text, WholeInRange(text, 0, CAN_SendDB::kDataBytes),
                     int32_t{row_default::kDlc},
                     [&](int32_t v) { db.set_CAN_DLC(i, static_cast<uint8_t>(v)); });
    case RowColumn::Period: {
      const auto store = [&](double v) { db.set_CAN_SendCycleTime(i, v); };
      if (period == PeriodFraction::Keep) {
        return StoreOr(text, ExactPeriod(text), row_default::kPeriod, store);
      }
      const auto whole = WholeInRange(text, 1, std::numeric_limits<int32_t>::max());
      return StoreOr(text, whole ? std::optional<double>(*whole) : std::nullopt,
                     row_default::kPeriod, store);
    }
    case RowColumn::Periodic:
      return StoreOr(text, WholeInRange(text, 0, 1), 0,
                     [&](int32_t v) { db.set_CAN_SendCycleOperation(i, v); });
    default:
      return StoreOr(text, HexInRange(text, 0xFF), uint32_t{row_default::kData}, [&](uint32_t v) {
        db.set_CAN_Data(DataByteNumber(column), i, static_cast<uint8_t>(v));
      });
  }
}

std::string_view RowColumnName(RowColumn column) {
  static constexpr std::string_view kNames[kRowColumnCount] = {
      "E", "ID", "DLC", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8", "period", "periodic"};
  return kNames[static_cast<size_t>(column)];
}

std::string RowColumnText(const CAN_SendDB& db, int16_t i, RowColumn column) {
  switch (column) {
    case RowColumn::E:
      return std::to_string(db.CAN_Send29(i));
    case RowColumn::ID:
      return FormatHex(static_cast<uint32_t>(db.CAN_ID(i)));
    case RowColumn::DLC:
      return std::to_string(db.CAN_DLC(i));
    case RowColumn::Period:
      return FormatDecimal(db.CAN_SendCycleTime(i));
    case RowColumn::Periodic:
      return std::to_string(db.CAN_SendCycleOperation(i));
    default:
      return FormatByteHex(db.CAN_Data(DataByteNumber(column), i));
  }
}

}  // namespace telpod
