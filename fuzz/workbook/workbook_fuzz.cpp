// Feeds arbitrary bytes to Import_XLS as a workbook file. Whatever the
// file holds, the import must return 0 with the table untouched, or 1 with
// every row inside its valid ranges.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "send/can_senddb.h"
#include "settings/elm327_info.h"
#include "settings/xls/xls_import.h"

namespace {

// One private folder for the whole run, removed at exit.
const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "telpod-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    std::atexit([] { std::filesystem::remove_all(Folder()); });
    return pattern + "/";
  }();
  return folder;
}

bool RowIsValid(const telpod::CAN_SendDB& db, int16_t i) {
  return db.CAN_Send29(i) <= 1 && db.CAN_ID(i) >= 0 && db.CAN_ID(i) <= 0x1FFFFFFF &&
         db.CAN_DLC(i) <= 8 && db.CAN_SendCycleTime(i) >= 1.0 &&
         db.CAN_SendCycleOperation(i) >= 0 && db.CAN_SendCycleOperation(i) <= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream out(Folder() + "input.xls", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  telpod::ELM327_Info device;
  device.set_ExcelInstallCheck(1);
  telpod::CAN_SendDB db;
  db.set_CAN_ID(0, -1);  // a value no import stores
  const int32_t result =
      telpod::Setting_import_export::Import_XLS(device, "input.xls", Folder(), db);
  if (result == 0 && db.CAN_ID(0) != -1) std::abort();  // refused, yet touched
  if (result != 0) {
    if (result != 1) std::abort();
    for (int16_t i = 0; i < telpod::CAN_SendDB::kRows; ++i) {
      if (!RowIsValid(db, i)) std::abort();
    }
  }
  return 0;
}
