#include <fstream>
#include <variant>

#include "settings/row_fields.h"
#include "settings/xls/xls_export.h"
#include "settings/xls/xls_import.h"
#include "xls_test_support.h"

namespace telpod::test {
namespace {

using Setting_import_export::Export_XLS;
using Setting_import_export::Import_XLS;

std::string JsonText(const std::string& s) {
  return "\"" + s + "\"";
}

// The sheet's expected cells A..N per row, as check_workbook.py reads them.
std::string ExpectedJson(const ELM327_Info& device, const CAN_SendDB& db) {
  std::string json = "{\"title\": " + JsonText(device.Application_title()) +
                     ", \"copy\": " + JsonText(device.Copy_light()) +
                     ", \"url\": " + JsonText(device.Homepage_URL()) + ", \"rows\": [";
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    json += i ? ", [" : "[";
    json += std::to_string(i + 1) + ", " + std::to_string(db.CAN_Send29(i)) + ", " +
            JsonText(FormatHex(static_cast<uint32_t>(db.CAN_ID(i)))) + ", " +
            std::to_string(db.CAN_DLC(i));
    for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n) {
      json += ", " + JsonText(FormatHex(db.CAN_Data(n, i)));
    }
    json += ", " + FormatDecimal(db.CAN_SendCycleTime(i)) + ", " +
            std::to_string(db.CAN_SendCycleOperation(i)) + "]";
  }
  return json + "]}";
}

TEST_F(XlsTest, AnIndependentReaderSeesTheLayout) {
  for (int variant : {0, 3}) {
    CAN_SendDB db = variant == 0 ? CAN_SendDB() : SampleTable(variant);
    Export_XLS(device, "TELPOD.xls", Folder(), db, messages);
    WriteFile(folder.File("expected.json"), ExpectedJson(device, db));
    EXPECT_EQ(RunPython("check_workbook.py",
                        folder.File("TELPOD.xls") + " " + folder.File("expected.json")),
              0)
        << "variant " << variant;
  }
}

TEST_F(XlsTest, AWorkbookFromAnotherWriterImports) {
  ASSERT_EQ(RunPython("make_xlwt_workbook.py", folder.File("xlwt.xls")), 0);
  CAN_SendDB imported = ScribbledTable();
  ASSERT_EQ(Import_XLS(device, "xlwt.xls", Folder(), imported), 1);

  CAN_SendDB expected;  // rows the sheet leaves empty or lacks take the defaults
  expected.set_CAN_Send29(0, 1);
  expected.set_CAN_ID(0, 0x10);  // the number 10 typed as an identifier
  for (int n = 1; n <= 8; ++n) expected.set_CAN_Data(n, 0, static_cast<uint8_t>(n - 1));
  expected.set_CAN_SendCycleTime(0, 12.5);
  expected.set_CAN_SendCycleOperation(0, 1);
  expected.set_CAN_ID(1, 0x1FFFFFFF);
  expected.set_CAN_DLC(1, 3);
  const uint8_t bytes[] = {0xFF, 0xFE, 0x0A, 0x00, 0x00, 0x10, 0x99, 0x7F};
  for (int n = 1; n <= 8; ++n) expected.set_CAN_Data(n, 1, bytes[n - 1]);
  expected.set_CAN_SendCycleTime(1, 250);
  // Row 3: "0x10", DLC 9, "100", -1, 1.5, "F F", period 0 and flag 2 are
  // all invalid and take the defaults.
  ExpectSameRows(expected, imported);
}

}  // namespace
}  // namespace telpod::test
