#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/can_senddb.h"

namespace telpod {

// Text <-> number rules for the fields of a message row, shared by the row
// editor and the CSV and workbook files.

// "7DF" for 2015: upper-case hexadecimal without leading zeros.
std::string FormatHex(uint32_t value);
// "0A" for 10: a data byte, always two upper-case digits.
std::string FormatByteHex(uint8_t value);
// "9000", "12.5": a period in its shortest decimal form, "." as separator.
std::string FormatDecimal(double value);

// 1 to 8 hexadecimal digits of either case and nothing else ("8000" ->
// 32768); no prefix, sign or blank.
std::optional<uint32_t> ParseHex(std::string_view text);

// A decimal number: optional sign, digits with an optional "." and an
// optional exponent; surrounding blanks are allowed.
std::optional<double> ParseDecimal(std::string_view text);

// A decimal number rounded to a whole number, halves to even (250.5 -> 250,
// 251.5 -> 252); nullopt when it is not a number or leaves 32-bit range.
std::optional<int32_t> ParseWholeNumber(std::string_view text);

// What a row field takes when a file gives no valid value for it: the
// send table's own defaults.
namespace row_default {
inline constexpr int32_t kId = 1;
inline constexpr uint8_t kDlc = 8;
inline constexpr uint8_t kData = 0;
inline constexpr double kPeriod = 100.0;
}  // namespace row_default

// A row's numbers as a binary file (config.dat) stores them: kept inside
// the range the CSV and workbook readers accept (identifier 0..0x1FFFFFFF,
// DLC 0..8, a finite period of at least 1), the field's default otherwise.
// A damaged file can then never hand a driver a length above 8 or a period
// of nan, and every row a file brought in comes back at the next start.
int32_t IdOrDefault(int32_t id);
uint8_t DlcOrDefault(uint8_t dlc);
double PeriodOrDefault(double period);

// The file columns after "No": each with its range and the default a
// missing or invalid value takes.
enum class RowColumn { E, ID, DLC, D1, D2, D3, D4, D5, D6, D7, D8, Period, Periodic };
inline constexpr int kRowColumnCount = 13;

// How a file's period is taken: rounded to a whole number (CSV), or kept
// with its fraction (workbook), so that 12.5 survives a round trip as it
// does on screen and in config.dat. Kept periods are valid from 1 up to the
// 32-bit limit.
enum class PeriodFraction { Round, Keep };

// How a column's text was taken: as it reads, left empty (the default
// stored, as a short line or an empty cell means), or replaced by the
// default because it is no valid value of the column.
enum class FieldRead { Taken, Empty, Replaced };

// Reads one column's text by the file rules (decimal columns rounded, hex
// columns as hex) and stores the value, or the column's default, into row i.
FieldRead StoreRowColumn(CAN_SendDB& db, int16_t i, RowColumn column, std::string_view text,
                         PeriodFraction period = PeriodFraction::Round);

// The column's short name: "E", "ID", "DLC", "D1".."D8", "period", "periodic".
std::string_view RowColumnName(RowColumn column);

// Row i's value of the column as a file shows it: "7DF", "0A", "100", "12.5".
std::string RowColumnText(const CAN_SendDB& db, int16_t i, RowColumn column);

}  // namespace telpod
