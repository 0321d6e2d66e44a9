#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <utility>

#include "model/row_fields.h"
#include "platform/program_folder.h"
#include "settings/xls/settings_sheet.h"
#include "settings/xls/workbook_file.h"
#include "settings/xls/xls_export.h"
#include "settings/xls/xls_import.h"
#include "support/platform_fakes.h"
#include "support/temp_folder.h"

namespace telpod::test {
namespace {

using Setting_import_export::Export_XLS;
using xls::CellValue;
constexpr const char* kDone = "設定 Export: 設定をxlsでエクスポートしました。\r\nTELPOD.xls\n";
const std::string kDefaultRow = "0 1 8 0 0 0 0 0 0 0 0 100 0\n";

// Every corner of the fields: 29-bit and 11-bit identifiers up to 1FFFFFFF,
// DLC 0..8, fractional periods and, over variants 0..3, every byte value.
CAN_SendDB SampleTable(int variant) {
  static constexpr int32_t kIds[] = {0x1FFFFFFF, 0x7FF, 0x18DAF110, 0, 0x800, 0x123, 0x1, 0xABCDE};
  static constexpr double kPeriods[] = {12.5, 1, 9999.75, 100, 1.25, 2147483647, 250.5, 0.3e4};
  CAN_SendDB db;
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    const int k = (i + variant) % CAN_SendDB::kRows;
    db.set_CAN_ID(i, kIds[k]);
    db.set_CAN_Send29(i, static_cast<uint8_t>(k % 2));
    db.set_CAN_DLC(i, static_cast<uint8_t>((i + variant) % 9));
    for (int n = 1; n <= 8; ++n) db.set_CAN_Data(n, i, uint8_t(variant * 64 + i * 8 + n - 1));
    db.set_CAN_SendCycleTime(i, kPeriods[k]);
    db.set_CAN_SendCycleOperation(i, k / 2 % 2);
  }
  return db;
}

// The rows as the sheet shows columns B..N, a line each.
std::string Rows(const CAN_SendDB& db) {
  std::string text;
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    text += std::to_string(db.CAN_Send29(i)) + " " +
            FormatHex(static_cast<uint32_t>(db.CAN_ID(i))) + " " + std::to_string(db.CAN_DLC(i));
    for (uint8_t byte : db.DataBytes(i)) text += " " + FormatHex(byte);
    text += " " + FormatDecimal(db.CAN_SendCycleTime(i)) + " " +
            std::to_string(db.CAN_SendCycleOperation(i)) + "\n";
  }
  return text;
}

// The system Python, the one with Debian's xlrd and xlwt, on a script here:
// 0 when it succeeds.
int RunPython(const std::string& script, const std::string& arguments) {
  return std::system(
      ("/usr/bin/python3 " TELPOD_SOURCE_DIR "/tests/settings/xls/" + script + " " + arguments)
          .c_str());
}

class XlsTest : public ::testing::Test {
 protected:
  XlsTest() { device.set_ExcelInstallCheck(1); }
  std::string Folder() const { return folder.path() + "/"; }  // as the dialogs give it

  // The messages shown since the last call, a line each.
  std::string Shown() {
    std::string text;
    for (const auto& m : std::exchange(messages.shown, {})) {
      text += m.title + ": " + m.text +
              (m.icon == platform::MessageIcon::Critical ? " (critical)\n" : "\n");
    }
    return text;
  }

  // Rows() of `name` imported into a table of values no import produces, or
  // "refused" when Import_XLS returned 0 without touching that table.
  std::string Imported(const std::string& name, const std::string& from = "",
                       Setting_import_export::ImportReport* report = nullptr) {
    CAN_SendDB scribbled;
    for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
      scribbled.set_CAN_Send29(i, 9);
      scribbled.set_CAN_ID(i, -7);
      scribbled.set_CAN_DLC(i, 99);
      for (int n = 1; n <= 8; ++n) scribbled.set_CAN_Data(n, i, 0x5A);
      scribbled.set_CAN_SendCycleTime(i, -1.5);
      scribbled.set_CAN_SendCycleOperation(i, 7);
    }
    CAN_SendDB db = scribbled;
    if (Setting_import_export::Import_XLS(device, name, from.empty() ? Folder() : from, db,
                                          report) == 1) {
      return Rows(db);
    }
    return Rows(db) == Rows(scribbled) ? "refused" : "refused, table touched";
  }

  // The exported sheet of `db` with cells changed as a user would: `edits`
  // "B7=10;C7='text';B10:N10=" puts a number, a text and empty cells.
  void SaveEdited(const std::string& name, const CAN_SendDB& db, const std::string& edits) {
    xls::SheetModel sheet;
    xls::DescribeSettingsSheet(sheet, device, db, "2024/05/01 09:30:00");
    std::istringstream in(edits);
    for (std::string edit; std::getline(in, edit, ';');) {
      const std::string cells = edit.substr(0, edit.find('=')),
                        value = edit.substr(cells.size() + 1);
      sheet.SetValue(xls::Range(cells), value.empty() ? CellValue{}
                                        : value[0] == '\''
                                            ? CellValue{value.substr(1, value.size() - 2)}
                                            : CellValue{std::stod(value)});
    }
    ASSERT_TRUE(xls::SaveWorkbook(sheet, xls::kSheetName, folder.File(name)));
  }

  long FileCount() const {
    return std::distance(std::filesystem::directory_iterator(folder.path()), {});
  }

  TempFolder folder;
  ELM327_Info device;
  RecordingMessages messages;
};

// The default table, then 29-bit identifiers, fractional periods and every
// byte value; the last without the identity texts (an empty shared string
// would make readers take the file for damaged). Each replaces the file
// before it, and is read back by the import and by xlrd, a reader
// independent of this program.
TEST_F(XlsTest, TablesComeBackUnchangedAndAnIndependentReaderSeesTheLayout) {
  WriteFile(folder.File("TELPOD.xls"), "an older file that is not a workbook");
  for (int variant = -1; variant < 4; ++variant) {
    SCOPED_TRACE("variant " + std::to_string(variant));
    CAN_SendDB db = variant < 0 ? CAN_SendDB() : SampleTable(variant);
    if (variant == 3) {
      device.set_Copy_light("");
      device.set_Homepage_URL("");
    }
    WriteFile(folder.File("expected.txt"), device.Application_title() + "\n" + device.Copy_light() +
                                               "\n" + device.Homepage_URL() + "\n" + Rows(db));
    Export_XLS(device, "TELPOD.xls", Folder(), db, messages);
    EXPECT_EQ(Shown(), kDone);
    EXPECT_EQ(FileCount(), 2);  // no leftovers
    EXPECT_EQ(Imported("TELPOD.xls"), Rows(db));
    EXPECT_EQ(RunPython("check_workbook.py",
                        folder.File("TELPOD.xls") + " " + folder.File("expected.txt")),
              0);
  }
}

// A missing folder: the program folder takes the file (reading has no such
// fallback). A folder in the file's place: the rename over it fails, the
// user is told and it stays. Without the engine: nothing written or read.
TEST_F(XlsTest, ExportFallsBackFailsVisiblyAndNeedsTheEngine) {
  TempFolder program;
  platform::ScopedProgramFolder scoped(program.path());
  CAN_SendDB db = SampleTable(1);
  Export_XLS(device, "TELPOD.xls", folder.File("gone") + "/", db, messages);
  EXPECT_EQ(Shown(), kDone);
  EXPECT_EQ(Imported("TELPOD.xls", program.path() + "/"), Rows(db));
  EXPECT_EQ(Imported("TELPOD.xls", folder.File("gone") + "/"), "refused");

  std::filesystem::create_directory(folder.File("TELPOD.xls"));
  WriteFile(folder.File("TELPOD.xls") + "/inside", "kept");
  Export_XLS(device, "TELPOD.xls", Folder(), db, messages);
  EXPECT_EQ(Shown(), "設定 Export: 設定のエクスポートに失敗しました。\r\nTELPOD.xls (critical)\n");
  EXPECT_EQ(ReadFile(folder.File("TELPOD.xls") + "/inside"), "kept");
  EXPECT_EQ(FileCount(), 1);

  device.set_ExcelInstallCheck(0);
  Export_XLS(device, "other.xls", Folder(), db, messages);
  EXPECT_EQ(FileCount(), 1);
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(Imported("TELPOD.xls", program.path() + "/"), "refused");
}

// Row 7: numbers in the hex columns are hex digits, texts in the others
// numbers; row 8: eight digits, an exponent; row 9: invalid values take
// their defaults, a blank inside is not removed; row 10: emptied, defaults;
// rows 11-14: periods keep their fraction from 1 up to the 32-bit limit.
TEST_F(XlsTest, CellsAreReadByTheColumnRules) {
  SaveEdited("typed.xls", CAN_SendDB(),
             "B7='1';C7=10;D7=' 3 ';E7=10;L7=99;M7='12.5';N7='1';C8=18000000;M8='1e3';"
             "B9=2;C9='20000000';D9=9;E9='F F';F9='100';G9=1.5;H9='0x1';M9=0.5;N9='yes';B10:N10=;"
             "M11=12.25;M12=2147483647;M13=2147483648;M14='12,5'");
  EXPECT_EQ(Imported("typed.xls"),
            "1 10 3 10 0 0 0 0 0 0 99 12.5 1\n"
            "0 18000000 8 0 0 0 0 0 0 0 0 1000 0\n" +
                kDefaultRow + kDefaultRow +
                "0 1 8 0 0 0 0 0 0 0 0 12.25 0\n"
                "0 1 8 0 0 0 0 0 0 0 0 2147483647 0\n" +
                kDefaultRow + kDefaultRow);
  // Each invalid cell by its sheet row; the empty ones go unnamed.
  Setting_import_export::ImportReport report;
  Imported("typed.xls", "", &report);
  std::string replaced;
  for (const auto& f : report.replaced) {
    replaced += std::to_string(f.line) + " " + std::string(RowColumnName(f.column)) + " " + f.read +
                ">" + f.used + "\n";
  }
  EXPECT_EQ(replaced,
            "9 E 2>0\n9 ID 20000000>1\n9 DLC 9>8\n9 D1 F F>00\n9 D2 100>00\n9 D3 1.5>00\n"
            "9 D4 0x1>00\n9 period 0.5>100\n9 periodic yes>0\n13 period 2147483648>100\n"
            "14 period 12,5>100\n");
}

TEST_F(XlsTest, TheTitleMayBeInAnyCaseButTheMarkerMustBeExact) {
  const auto accepted = [&](const char* application, const char* edits) {
    device.set_Application_title(application);
    SaveEdited("title.xls", SampleTable(1), edits);
    return Imported("title.xls") != "refused";
  };
  for (const char* edits : {"A1='telpod ver1.11'", "A1='Rows of TELPOD VER1.11 (copy)'"}) {
    EXPECT_TRUE(accepted("TELPOD Ver1.11", edits)) << edits;
  }
  for (const char* edits :
       {"A1='TELPOD Ve'", "A1=5", "A1=", "F1='設定ファイル '", "F1=' 設定ファイル'", "F1='設定'"}) {
    EXPECT_FALSE(accepted("TELPOD Ver1.11", edits)) << edits;
  }
  // The key is the title's first ten characters.
  EXPECT_TRUE(accepted("送信テスト用アプリケーション", "A1='送信テスト用アプリケ'"));
}

// Also as the second of two settings sheets, the one the workbook opens
// on: that one is read, not the first.
TEST_F(XlsTest, AWorkbookFromAnotherWriterImportsFromItsActiveSheet) {
  // The third row is all invalid, the rest empty or missing: defaults.
  std::string expected = "1 10 8 0 1 2 3 4 5 6 7 12.5 1\n0 1FFFFFFF 3 FF FE A 0 0 10 99 7F 250 0\n";
  for (int n = 0; n < 6; ++n) expected += kDefaultRow;
  for (const char* layout : {"", "second-active"}) {
    ASSERT_EQ(RunPython("make_xlwt_workbook.py", folder.File("xlwt.xls") + " " + layout), 0);
    EXPECT_EQ(Imported("xlwt.xls"), expected) << layout;
  }
}

TEST_F(XlsTest, DamagedFilesAreRefusedWithoutTouchingTheTable) {
  SaveEdited("good.xls", SampleTable(2), "");
  const std::string good = ReadFile(folder.File("good.xls"));
  for (const std::string& bytes :
       {std::string(), std::string("No,E,ID\r\n1,0,7FF\r\n"), good.substr(0, 512),
        good.substr(0, good.size() / 2), good.substr(0, good.size() - 1)}) {
    WriteFile(folder.File("bad.xls"), bytes);
    EXPECT_EQ(Imported("bad.xls"), "refused") << bytes.size() << " bytes";
  }
  EXPECT_EQ(Imported("missing.xls"), "refused");
}

}  // namespace
}  // namespace telpod::test
