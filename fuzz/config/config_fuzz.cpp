// config.dat reader: any bytes as the settings file. Besides not crashing,
// whatever it takes over must lie in its field's range and save and load
// back to the same record.
#include <cmath>
#include <cstdlib>

#include "../program_folder_fixture.h"
#include "settings/file_save_system.h"
#include "settings/setting_file_record.h"

using namespace telpod;

namespace {

bool RowsInRange(const CAN_SendDB& rows) {
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    const double period = rows.CAN_SendCycleTime(i);
    if (rows.CAN_ID(i) < 0 || rows.CAN_ID(i) > 0x1FFFFFFF || rows.CAN_DLC(i) > 8 ||
        !std::isfinite(period) || period < 1.0) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::ProgramFolderFixture folder;
  folder.WriteFile("config.dat", data, size);

  ELM327_Info device;
  CAN_SendDB rows;
  const int32_t result = FileSaveSystem::Load_SettingFile(device, rows);
  if (result < -2 || result > 0) std::abort();
  if (result != 0) return 0;
  if (!RowsInRange(rows)) std::abort();

  if (FileSaveSystem::Save_SettingFile(device, rows) != 0) std::abort();
  ELM327_Info device_again;
  CAN_SendDB rows_again;
  if (FileSaveSystem::Load_SettingFile(device_again, rows_again) != 0) std::abort();
  if (SettingFileRecord::Bytes(device, rows) !=
      SettingFileRecord::Bytes(device_again, rows_again)) {
    std::abort();
  }
  return 0;
}
