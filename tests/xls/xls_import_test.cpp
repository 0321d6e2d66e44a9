#include "settings/xls/xls_import.h"

#include <functional>
#include <variant>

#include "settings/settings_file_identity.h"
#include "settings/xls/settings_sheet.h"
#include "settings/xls/workbook_file.h"
#include "xls_test_support.h"

namespace telpod::test {
namespace {

using Setting_import_export::Import_XLS;
using xls::Range;

class XlsImportTest : public XlsTest {
 protected:
  // The exported sheet of `db`, edited as a user would, saved as `name`.
  void SaveEdited(const std::string& name, const CAN_SendDB& db,
                  const std::function<void(xls::SheetModel&)>& edit) {
    xls::SheetModel sheet;
    xls::DescribeSettingsSheet(sheet, device, db, "2024/05/01 09:30:00");
    edit(sheet);
    ASSERT_TRUE(xls::SaveWorkbook(sheet, xls::kSheetName, folder.File(name)));
  }

  // Imports `name` into a scribbled table; true when it was accepted and
  // false when refused with the table untouched.
  bool Accepted(const std::string& name, CAN_SendDB* out = nullptr) {
    CAN_SendDB db = ScribbledTable();
    const int32_t result = Import_XLS(device, name, Folder(), db);
    if (result == 0) ExpectSameRows(ScribbledTable(), db);
    if (out != nullptr) *out = db;
    return result == 1;
  }
};

TEST_F(XlsImportTest, NumbersInHexColumnsAreReadAsHexDigitsAndTextsInDecimalOnesAsNumbers) {
  SaveEdited("typed.xls", CAN_SendDB(), [](xls::SheetModel& s) {
    s.SetValue(Range("C7"), 10.0);
    s.SetValue(Range("E7"), 10.0);
    s.SetValue(Range("L7"), 99.0);
    s.SetValue(Range("B7"), "1");
    s.SetValue(Range("D7"), " 3 ");
    s.SetValue(Range("M7"), "12.5");
    s.SetValue(Range("N7"), 1.0);
    s.SetValue(Range("C8"), 18000000.0);  // eight digits: 0x18000000
  });
  CAN_SendDB db;
  ASSERT_TRUE(Accepted("typed.xls", &db));
  EXPECT_EQ(db.CAN_ID(0), 0x10);
  EXPECT_EQ(db.CAN_Data1(0), 0x10);
  EXPECT_EQ(db.CAN_Data8(0), 0x99);
  EXPECT_EQ(db.CAN_Send29(0), 1);
  EXPECT_EQ(db.CAN_DLC(0), 3);
  EXPECT_EQ(db.CAN_SendCycleTime(0), 12.5);
  EXPECT_EQ(db.CAN_SendCycleOperation(0), 1);
  EXPECT_EQ(db.CAN_ID(1), 0x18000000);
}

TEST_F(XlsImportTest, InvalidCellsTakeTheirDefaultsAndBlanksInsideStayInvalid) {
  SaveEdited("invalid.xls", SampleTable(0), [](xls::SheetModel& s) {
    s.SetValue(Range("B8"), 2.0);
    s.SetValue(Range("C8"), "20000000");
    s.SetValue(Range("D8"), 9.0);
    s.SetValue(Range("E8"), "F F");  // a CSV field would lose the blank
    s.SetValue(Range("F8"), "100");
    s.SetValue(Range("G8"), 1.5);
    s.SetValue(Range("H8"), "0x1");
    s.SetValue(Range("M8"), 0.0);
    s.SetValue(Range("N8"), "yes");
    s.SetValue(Range("B10:N10"), xls::CellValue{});  // a cleared row
  });
  CAN_SendDB db;
  ASSERT_TRUE(Accepted("invalid.xls", &db));
  CAN_SendDB expected = SampleTable(0);
  for (int16_t i : {1, 3}) {
    expected.set_CAN_Send29(i, 0);
    expected.set_CAN_ID(i, 1);
    expected.set_CAN_DLC(i, 8);
    expected.set_CAN_SendCycleTime(i, 100);
    expected.set_CAN_SendCycleOperation(i, 0);
  }
  for (int n = 1; n <= 4; ++n) expected.set_CAN_Data(n, 1, 0);
  for (int n = 1; n <= 8; ++n) expected.set_CAN_Data(n, 3, 0);
  ExpectSameRows(expected, db);
}

TEST_F(XlsImportTest, PeriodsKeepTheirFractionWithinOneAndThe32BitLimit) {
  const std::pair<xls::CellValue, double> periods[] = {
      {12.25, 12.25},        {1.0, 1.0},      {0.5, 100.0},  {2147483647.0, 2147483647.0},
      {2147483648.0, 100.0}, {"1e3", 1000.0}, {"-5", 100.0}, {"12,5", 100.0},
  };
  SaveEdited("periods.xls", CAN_SendDB(), [&](xls::SheetModel& s) {
    for (int i = 0; i < 8; ++i) s.SetValue({6 + i, 12, 6 + i, 12}, periods[i].first);
  });
  CAN_SendDB db;
  ASSERT_TRUE(Accepted("periods.xls", &db));
  for (int16_t i = 0; i < 8; ++i) EXPECT_EQ(db.CAN_SendCycleTime(i), periods[i].second) << i;
}

TEST_F(XlsImportTest, TheTitleMayBeInAnyCaseButTheMarkerMustBeExact) {
  const std::pair<xls::CellValue, bool> titles[] = {
      {"telpod ver1.11", true},  {"Rows of TELPOD VER1.11 (copy)", true},
      {"TELPOD Ve", false},      {5.0, false},
      {xls::CellValue{}, false},
  };
  for (const auto& [title, accepted] : titles) {
    SaveEdited("title.xls", SampleTable(1),
               [&](xls::SheetModel& s) { s.SetValue(Range("A1"), title); });
    EXPECT_EQ(Accepted("title.xls"), accepted) << testing::PrintToString(title.index());
  }
  for (const char* marker : {"設定ファイル ", " 設定ファイル", "設定", ""}) {
    SaveEdited("marker.xls", SampleTable(1),
               [&](xls::SheetModel& s) { s.SetValue(Range("F1"), marker); });
    EXPECT_FALSE(Accepted("marker.xls")) << marker;
  }
}

TEST_F(XlsImportTest, TheTitleKeyCountsCharactersNotBytes) {
  device.set_Application_title("送信テスト用アプリケーション");
  SaveEdited("ten.xls", CAN_SendDB(),
             [](xls::SheetModel& s) { s.SetValue(Range("A1"), "送信テスト用アプリケ"); });
  EXPECT_TRUE(Accepted("ten.xls"));
  SaveEdited("nine.xls", CAN_SendDB(),
             [](xls::SheetModel& s) { s.SetValue(Range("A1"), "送信テスト用アプリ"); });
  EXPECT_FALSE(Accepted("nine.xls"));
}

TEST_F(XlsImportTest, ASheetWithOnlyTheMarkersGivesEveryRowItsDefaults) {
  xls::SheetModel sheet;
  sheet.SetValue(Range("A1"), device.Application_title());
  sheet.SetValue(Range("F1"), std::string(Setting_import_export::kSettingFileMarker));
  ASSERT_TRUE(xls::SaveWorkbook(sheet, "S", folder.File("bare.xls")));
  CAN_SendDB db;
  ASSERT_TRUE(Accepted("bare.xls", &db));
  ExpectSameRows(CAN_SendDB(), db);
}

TEST_F(XlsImportTest, DamagedFilesAreRefusedWithoutTouchingTheTable) {
  SaveEdited("good.xls", SampleTable(2), [](xls::SheetModel&) {});
  const std::string good = ReadFile(folder.File("good.xls"));
  const std::pair<std::string, std::string> files[] = {
      {"empty.xls", ""},
      {"text.xls", "No,E,ID\r\n1,0,7FF\r\n"},
      {"header.xls", good.substr(0, 512)},
      {"half.xls", good.substr(0, good.size() / 2)},
      {"short.xls", good.substr(0, good.size() - 1)},
  };
  for (const auto& [name, bytes] : files) {
    WriteFile(folder.File(name), bytes);
    EXPECT_FALSE(Accepted(name)) << name;
  }
  EXPECT_FALSE(Accepted("missing.xls"));
}

}  // namespace
}  // namespace telpod::test
