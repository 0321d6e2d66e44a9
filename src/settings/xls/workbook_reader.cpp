#include "settings/xls/workbook_reader.h"

#include <freexl.h>

#include <charconv>
#include <filesystem>

#include "platform/file_system.h"
#include "settings/xls/biff_stream_check.h"
#include "settings/xls/compound_file.h"

namespace telpod::xls {
namespace {

// A settings workbook is a few kilobytes; this leaves room for any edits.
constexpr uintmax_t kMaxFileSize = 16u << 20;

}  // namespace

std::string NumberText(double value) {
  char buffer[64];
  const auto r =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  if (r.ec != std::errc()) return {};
  return std::string(buffer, r.ptr);
}

WorkbookReader::~WorkbookReader() {
  Close();
}

void WorkbookReader::Close() {
  if (handle_ != nullptr) freexl_close(handle_);
  handle_ = nullptr;
  copy_.reset();
  rows_ = 0;
  columns_ = 0;
}

bool WorkbookReader::Open(const std::string& path) {
  Close();
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  std::string file;
  if (ec || size > kMaxFileSize || !platform::ReadWholeFile(path, file)) return false;
  const auto stream = UnpackWorkbookStream(file, kMaxFileSize);
  if (!stream || !CheckBiffStream(*stream)) return false;
  const unsigned active = ActiveSheetIndex(*stream);
  const auto clean = PackWorkbookFile(*stream);
  if (!clean) return false;
  copy_ = std::make_unique<ScratchFile>(*clean);
  if (copy_->path().empty()) {
    copy_.reset();
    return false;
  }
  if (freexl_open(copy_->path().c_str(), &handle_) != FREEXL_OK) {
    // FreeXL keeps a handle on some failures; it must still be released.
    Close();
    return false;
  }
  unsigned int info = 0;
  if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &info) != FREEXL_OK ||
      info == FREEXL_BIFF_OBFUSCATED ||
      freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info == 0 ||
      // A tab past the last sheet is damage: the first sheet is read then.
      freexl_select_active_worksheet(
          handle_, static_cast<unsigned short>(active < info ? active : 0)) != FREEXL_OK ||
      freexl_worksheet_dimensions(handle_, &rows_, &columns_) != FREEXL_OK) {
    Close();
    return false;
  }
  return true;
}

std::string WorkbookReader::CellText(unsigned row, unsigned short column) const {
  if (handle_ == nullptr || row >= rows_ || column >= columns_) return {};
  FreeXL_CellValue value{};
  if (freexl_get_cell_value(handle_, row, column, &value) != FREEXL_OK) return {};
  switch (value.type) {
    case FREEXL_CELL_INT:
      return NumberText(static_cast<double>(value.value.int_value));
    case FREEXL_CELL_DOUBLE:
      return NumberText(value.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
      return value.value.text_value != nullptr ? std::string(value.value.text_value)
                                               : std::string();
    default:
      return {};
  }
}

}  // namespace telpod::xls
