// CSV reader: any bytes as an imported file. Besides not crashing, the rows
// it takes must export and import back unchanged.
#include <cstdlib>

#include "../program_folder_fixture.h"
#include "settings/csv_export.h"
#include "settings/csv_import.h"

using namespace telpod;

namespace {

class NoMessages : public platform::MessageBoxes {
 public:
  void Show(const std::string&, const std::string&, platform::MessageIcon icon) override {
    if (icon != platform::MessageIcon::None) std::abort();  // the export must not fail here
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::ProgramFolderFixture folder;
  folder.WriteFile("in.csv", data, size);

  ELM327_Info device;
  CAN_SendDB rows;
  const int32_t result = Setting_import_export::Import_CSV(device, "in.csv", folder.Folder(), rows);
  if (result != 0 && result != 1) std::abort();
  if (result == 0) return 0;

  NoMessages messages;
  Setting_import_export::Export_CSV(device, "out.csv", folder.Folder(), rows, messages);
  CAN_SendDB rows_again;
  if (Setting_import_export::Import_CSV(device, "out.csv", folder.Folder(), rows_again) != 1) {
    std::abort();
  }
  if (Setting_import_export::CsvText(device, rows) !=
      Setting_import_export::CsvText(device, rows_again)) {
    std::abort();
  }
  return 0;
}
