// Feeds arbitrary bytes to Import_XLS as a workbook file. Input that does
// not start like a compound file is taken as a bare workbook stream and
// packed into one first, so that mutations reach the record checks and
// FreeXL instead of dying in the container. Whatever the file holds, the
// import must return 0 with the table untouched, or 1 with every row inside
// its valid ranges.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../program_folder_fixture.h"
#include "model/can_senddb.h"
#include "model/elm327_info.h"
#include "settings/xls/compound_file.h"
#include "settings/xls/xls_import.h"

namespace {

bool RowIsValid(const telpod::CAN_SendDB& db, int16_t i) {
  return db.CAN_Send29(i) <= 1 && db.CAN_ID(i) >= 0 && db.CAN_ID(i) <= 0x1FFFFFFF &&
         db.CAN_DLC(i) <= 8 && db.CAN_SendCycleTime(i) >= 1.0 &&
         db.CAN_SendCycleOperation(i) >= 0 && db.CAN_SendCycleOperation(i) <= 1;
}

constexpr std::string_view kCompoundFileSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

}  // namespace

// libgsf loses a directory entry now and then while it refuses a damaged
// container (a hundred bytes or so, inside gsf_infile_msole_new); that is
// its own and no finding here. Full stacks are needed to name it.
extern "C" const char* __asan_default_options() {
  return "fast_unwind_on_malloc=0";
}
extern "C" const char* __lsan_default_suppressions() {
  return "leak:gsf_infile_msole_new\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string file(input);
  if (!input.starts_with(kCompoundFileSignature)) {
    file = telpod::xls::PackWorkbookFile(input).value_or(std::string());
  }
  static const telpod::fuzz::ProgramFolderFixture folder;
  folder.WriteFile("input.xls", reinterpret_cast<const uint8_t*>(file.data()), file.size());
  telpod::ELM327_Info device;
  device.set_ExcelInstallCheck(1);
  telpod::CAN_SendDB db;
  db.set_CAN_ID(0, -1);  // a value no import stores
  const int32_t result =
      telpod::Setting_import_export::Import_XLS(device, "input.xls", folder.Folder(), db);
  if (result == 0 && db.CAN_ID(0) != -1) std::abort();  // refused, yet touched
  if (result != 0) {
    if (result != 1) std::abort();
    for (int16_t i = 0; i < telpod::CAN_SendDB::kRows; ++i) {
      if (!RowIsValid(db, i)) std::abort();
    }
  }
  return 0;
}
