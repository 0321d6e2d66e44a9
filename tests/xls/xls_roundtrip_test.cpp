#include <filesystem>

#include "platform/program_folder.h"
#include "settings/xls/xls_export.h"
#include "settings/xls/xls_import.h"
#include "xls_test_support.h"

namespace telpod::test {
namespace {

using Setting_import_export::Export_XLS;
using Setting_import_export::Import_XLS;

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST_F(XlsTest, DefaultTableComesBackUnchangedAndTheUserIsTold) {
  CAN_SendDB exported;
  Export_XLS(device, "TELPOD.xls", Folder(), exported, messages);
  ExpectOneExportMessage("設定をxlsでエクスポートしました。\r\nTELPOD.xls",
                         platform::MessageIcon::None);

  CAN_SendDB imported = ScribbledTable();
  EXPECT_EQ(Import_XLS(device, "TELPOD.xls", Folder(), imported), 1);
  ExpectSameRows(exported, imported);
}

TEST_F(XlsTest, ExtendedIdsFractionalPeriodsAndEveryByteComeBackUnchanged) {
  for (int variant = 0; variant < 4; ++variant) {
    SCOPED_TRACE("variant " + std::to_string(variant));
    CAN_SendDB exported = SampleTable(variant);
    Export_XLS(device, "rows.xls", Folder(), exported, messages);
    CAN_SendDB imported = ScribbledTable();
    ASSERT_EQ(Import_XLS(device, "rows.xls", Folder(), imported), 1);
    ExpectSameRows(exported, imported);
  }
}

TEST_F(XlsTest, EmptyIdentityTextsLeaveTheirCellsEmpty) {
  // An empty shared string would make readers take the file for damaged.
  device.set_Copy_light("");
  device.set_Homepage_URL("");
  CAN_SendDB exported = SampleTable(3);
  Export_XLS(device, "TELPOD.xls", Folder(), exported, messages);
  CAN_SendDB imported;
  EXPECT_EQ(Import_XLS(device, "TELPOD.xls", Folder(), imported), 1);
  ExpectSameRows(exported, imported);
}

TEST_F(XlsTest, WithoutTheEngineNothingIsWrittenOrRead) {
  CAN_SendDB db = SampleTable(0);
  Export_XLS(device, "TELPOD.xls", Folder(), db, messages);
  device.set_ExcelInstallCheck(0);

  Export_XLS(device, "other.xls", Folder(), db, messages);
  EXPECT_FALSE(std::filesystem::exists(folder.File("other.xls")));
  EXPECT_EQ(messages.shown.size(), 1u);  // only the first export's

  CAN_SendDB imported = ScribbledTable();
  EXPECT_EQ(Import_XLS(device, "TELPOD.xls", Folder(), imported), 0);
  ExpectSameRows(ScribbledTable(), imported);
}

TEST_F(XlsTest, AMissingFolderExportsIntoTheProgramFolder) {
  TempFolder program;
  platform::ScopedProgramFolder scoped(program.path());
  CAN_SendDB db = SampleTable(1);
  Export_XLS(device, "TELPOD.xls", folder.File("gone") + "/", db, messages);
  ExpectOneExportMessage("設定をxlsでエクスポートしました。\r\nTELPOD.xls",
                         platform::MessageIcon::None);

  CAN_SendDB imported;
  EXPECT_EQ(Import_XLS(device, "TELPOD.xls", program.path() + "/", imported), 1);
  ExpectSameRows(db, imported);
  // Reading has no such fallback: the chosen folder holds no file.
  EXPECT_EQ(Import_XLS(device, "TELPOD.xls", folder.File("gone") + "/", imported), 0);
}

TEST_F(XlsTest, AnExistingFileIsReplacedWithoutLeftovers) {
  WriteFile(folder.File("TELPOD.xls"), "an older file that is not a workbook");
  CAN_SendDB db = SampleTable(2);
  Export_XLS(device, "TELPOD.xls", Folder(), db, messages);
  EXPECT_EQ(FilesIn(folder.path()), std::vector<std::string>{"TELPOD.xls"});
  CAN_SendDB imported;
  EXPECT_EQ(Import_XLS(device, "TELPOD.xls", Folder(), imported), 1);
  ExpectSameRows(db, imported);
}

TEST_F(XlsTest, AFailedExportSaysSoAndKeepsWhatWasThere) {
  // A folder where the file should go: the rename over it fails.
  std::filesystem::create_directory(folder.File("TELPOD.xls"));
  WriteFile(folder.File("TELPOD.xls") + "/inside", "kept");
  CAN_SendDB db;
  Export_XLS(device, "TELPOD.xls", Folder(), db, messages);
  ExpectOneExportMessage("設定のエクスポートに失敗しました。\r\nTELPOD.xls",
                         platform::MessageIcon::Critical);
  EXPECT_EQ(ReadFile(folder.File("TELPOD.xls") + "/inside"), "kept");
  EXPECT_EQ(FilesIn(folder.path()), std::vector<std::string>{"TELPOD.xls"});
}

}  // namespace
}  // namespace telpod::test
