#pragma once

#include <cstddef>
#include <cstdint>

namespace telpod::xls {

// Record types of the BIFF workbook stream that this program writes or
// checks.
enum BiffRecordType : uint16_t {
  kEof = 0x000A,
  kCalcCount = 0x000C,
  kCalcMode = 0x000D,
  kPrecision = 0x000E,
  kRefMode = 0x000F,
  kDelta = 0x0010,
  kIteration = 0x0011,
  kProtect = 0x0012,
  kPassword = 0x0013,
  kHeader = 0x0014,
  kFooter = 0x0015,
  kWindowProtect = 0x0019,
  kSelection = 0x001D,
  kDate1904 = 0x0022,
  kPrintHeaders = 0x002A,
  kPrintGridlines = 0x002B,
  kFilePass = 0x002F,
  kFont = 0x0031,
  kContinue = 0x003C,
  kWindow1 = 0x003D,
  kBackup = 0x0040,
  kCodepage = 0x0042,
  kDefColWidth = 0x0055,
  kWriteAccess = 0x005C,
  kSaveRecalc = 0x005F,
  kColInfo = 0x007D,
  kGuts = 0x0080,
  kWsBool = 0x0081,
  kGridSet = 0x0082,
  kHCenter = 0x0083,
  kVCenter = 0x0084,
  kBoundSheet = 0x0085,
  kCountry = 0x008C,
  kHideObj = 0x008D,
  kPalette = 0x0092,
  kFnGroupCount = 0x009C,
  kSetup = 0x00A1,
  kMulRk = 0x00BD,
  kMms = 0x00C1,
  kBookBool = 0x00DA,
  kXf = 0x00E0,
  kInterfaceHdr = 0x00E1,
  kInterfaceEnd = 0x00E2,
  kMergeCells = 0x00E5,
  kSst = 0x00FC,
  kLabelSst = 0x00FD,
  kExtSst = 0x00FF,
  kTabId = 0x013D,
  kDsf = 0x0161,
  kProt4Rev = 0x01AF,
  kRefreshAll = 0x01B7,
  kProt4RevPass = 0x01BC,
  kDimensions = 0x0200,
  kBlank = 0x0201,
  kNumber = 0x0203,
  kLabel = 0x0204,
  kBoolErr = 0x0205,
  kRow = 0x0208,
  kDefaultRowHeight = 0x0225,
  kWindow2 = 0x023E,
  kRk = 0x027E,
  kStyle = 0x0293,
  kFormat = 0x041E,
  kBof = 0x0809,
};

// Versions in the BOF record: Excel 5 and Excel 97-2003.
inline constexpr uint16_t kBiff5 = 0x0500;
inline constexpr uint16_t kBiff8 = 0x0600;

// Type and length in front of every record body.
inline constexpr size_t kRecordHeaderSize = 4;

// A record body holds at most this many bytes; longer data continues in
// CONTINUE records.
inline constexpr size_t kMaxRecordBody = 8224;

}  // namespace telpod::xls
