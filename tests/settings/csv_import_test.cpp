#include "settings/csv_import.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/program_folder.h"
#include "platform/text_codec.h"
#include "settings/csv_export.h"
#include "settings/csv_format.h"
#include "support/engine_fakes.h"
#include "support/temp_folder.h"

namespace telpod::Setting_import_export {
namespace {

using namespace std::string_literals;

struct Layout {
  bool title = true;
  bool marker = true;
  std::string line_end = "\r\n";
};

// A file as an exported one starts, then `rows`; UTF-8 text.
std::string CsvFile(const std::vector<std::string>& rows, const Layout& layout = {}) {
  std::vector<std::string> lines;
  if (layout.title) lines.push_back("TELPOD Ver1.11,,,Copyright (C) TELPOD Works,,,,https://x/");
  if (layout.marker) lines.push_back("設定ファイル");
  lines.push_back("");
  lines.push_back(" No , E ,    ID    ,DLC, D1 , D2 , D3 , D4 , D5 , D6 , D7 , D8 ,時間[ms],定期 ");
  lines.insert(lines.end(), rows.begin(), rows.end());
  std::string text;
  for (const auto& line : lines) text += (text.empty() ? "" : layout.line_end) + line;
  return text;
}

// Every stored field away from its default, so a default taken shows.
void FillNonDefault(CAN_SendDB& db) {
  for (int16_t i = 0; i < 8; ++i) {
    db.set_CAN_Send29(i, 1);
    db.set_CAN_ID(i, 0x123);
    db.set_CAN_DLC(i, 3);
    for (int n = 1; n <= 8; ++n) db.set_CAN_Data(n, i, 0x55);
    db.set_CAN_SendCycleTime(i, 777);
    db.set_CAN_SendCycleOperation(i, 1);
  }
}

std::vector<std::string> RowLines(const CAN_SendDB& db) {
  std::vector<std::string> lines;
  for (int16_t i = 0; i < 8; ++i) lines.push_back(CsvRowLine(db, i));
  return lines;
}

class CsvImport : public ::testing::Test {
 protected:
  // Writes `text` as CP932 (or as it is) and imports it into db_.
  int32_t Import(const std::string& text, bool cp932 = true) {
    test::WriteFile(folder_.File("in.csv"), cp932 ? platform::Utf8ToCp932(text) : text);
    return Import_CSV(device_, "in.csv", folder_.path() + "/", db_);
  }
  test::TempFolder folder_;
  platform::ScopedProgramFolder program_folder_{folder_.path()};
  ELM327_Info device_;
  CAN_SendDB db_;
};

TEST_F(CsvImport, ExportedTableReadsBack) {
  CAN_SendDB exported;
  FillNonDefault(exported);
  exported.set_CAN_ID(0, 0x1FFFFFFF);  // 8 digits widen the field
  exported.set_CAN_ID(1, 0x18DAF110);
  exported.set_CAN_Send29(2, 0);
  exported.set_CAN_SendCycleTime(3, 123456);
  test::RecordingMessages messages;
  Export_CSV(device_, "out.csv", folder_.path() + "/", exported, messages);
  ASSERT_EQ(Import_CSV(device_, "out.csv", folder_.path() + "/", db_), 1);
  EXPECT_EQ(RowLines(db_), RowLines(exported));
}

TEST_F(CsvImport, BlanksIdeographicSpacesAndNulsInsideFieldsAreIgnored) {
  const std::string expected =
      "  3 , 1 ,  1FFFFFFF , 8 , FF , 00 , 00 , 00 , 00 , 00 , 00 , 00 ,     50 , 1";
  ASSERT_EQ(Import(CsvFile({"3,1,1FFFFFFF,8,FF,,,,,,,,50,1"})), 1);
  EXPECT_EQ(CsvRowLine(db_, 2), expected);
  db_ = CAN_SendDB();
  ASSERT_EQ(Import(CsvFile({"　3 , 1,1FFF　FFFF , 8, F\0F ,,,,,,,, 5 0 ,1"s})), 1);
  EXPECT_EQ(CsvRowLine(db_, 2), expected);
}

TEST_F(CsvImport, InvalidOrOutOfRangeValuesTakeTheColumnDefault) {
  FillNonDefault(db_);
  ASSERT_EQ(Import(CsvFile({
                "1,0,20000000,8", "2,0,FFFFFFFF", "3,0,8000", "4,0,7FF,9", "5,2,0x10,8,100,1",
                "6,1,7DF,8,01,02,03,04,05,06,07,08,0", "7,0,1,8,,,,,,,,,-5",
                "8,0,1,8,,,,,,,,,250.5,1.5"  // periodic 1.5 rounds to 2: out of range
            })),
            1);
  EXPECT_EQ(db_.CAN_ID(0), 1);
  EXPECT_EQ(db_.CAN_ID(1), 1);
  EXPECT_EQ(db_.CAN_ID(2), 0x8000);
  EXPECT_EQ(db_.CAN_DLC(3), 8);
  EXPECT_EQ(db_.CAN_Send29(4), 0);
  EXPECT_EQ(db_.CAN_ID(4), 1);
  EXPECT_EQ(db_.CAN_Data1(4), 0);
  EXPECT_EQ(db_.CAN_Data2(4), 1);
  EXPECT_EQ(db_.CAN_Data8(5), 8);
  EXPECT_EQ(db_.CAN_SendCycleTime(5), 100);
  EXPECT_EQ(db_.CAN_SendCycleTime(6), 100);
  EXPECT_EQ(db_.CAN_SendCycleTime(7), 250);
  EXPECT_EQ(db_.CAN_SendCycleOperation(7), 0);
  // A short line gives every missing field its default.
  EXPECT_EQ(CsvRowLine(db_, 0),
            "  1 , 0 ,        1 , 8 , 00 , 00 , 00 , 00 , 00 , 00 , 00 , 00 ,    100 , 0");

  ASSERT_EQ(Import(CsvFile({"8,0,1,8,,,,,,,,,251.5"})), 1);
  EXPECT_EQ(db_.CAN_SendCycleTime(7), 252);
}

TEST_F(CsvImport, OnlyTheRowsMentionedChangeAndTheLastLineWins) {
  FillNonDefault(db_);
  const std::vector<std::string> before = RowLines(db_);
  ASSERT_EQ(Import(CsvFile({"2,0,100", "5,0,500", "2,0,200"})), 1);
  EXPECT_EQ(db_.CAN_ID(1), 0x200);
  EXPECT_EQ(db_.CAN_ID(4), 0x500);
  std::vector<std::string> others = RowLines(db_);
  others[1] = before[1];
  others[4] = before[4];
  EXPECT_EQ(others, before);
}

TEST_F(CsvImport, FilesWithoutARowLineOrAMarkerAreRefusedUntouched) {
  FillNonDefault(db_);
  const CAN_SendDB before = db_;
  const std::vector<std::string> rows = {"1,0,7FF"};
  EXPECT_EQ(Import(CsvFile({"0,0,7FF", "9,0,7FF", "X,0,7FF", ",0,7FF", ""})), 0);
  EXPECT_EQ(Import(CsvFile(rows, {.title = false})), 0);
  EXPECT_EQ(Import(CsvFile(rows, {.marker = false})), 0);
  // Rows above the header are not row lines.
  EXPECT_EQ(Import("TELPOD Ver1.11\r\n設定ファイル\r\n1,0,7FF\r\nNo"), 0);
  EXPECT_EQ(Import_CSV(device_, "missing.csv", folder_.path() + "/", db_), 0);
  EXPECT_EQ(RowLines(db_), RowLines(before));
}

TEST_F(CsvImport, LfLineEndsAndUtf8FilesAreReadToo) {
  EXPECT_EQ(Import(CsvFile({"1,0,101"}, {.line_end = "\n"})), 1);
  EXPECT_EQ(db_.CAN_ID(0), 0x101);
  EXPECT_EQ(Import(CsvFile({"1,0,102"}), false), 1);
  EXPECT_EQ(db_.CAN_ID(0), 0x102);
  EXPECT_EQ(Import("\xEF\xBB\xBF" + CsvFile({"1,0,103"}, {.line_end = "\n"}), false), 1);
  EXPECT_EQ(db_.CAN_ID(0), 0x103);
}

TEST(CsvTitleKey, CountsCharactersNotBytes) {
  EXPECT_EQ(TitleKey("TELPOD Ver1.11"), "TELPOD Ver");
  EXPECT_EQ(TitleKey("テレポッド計測 Ver1.11"), "テレポッド計測 Ve");
  EXPECT_EQ(TitleKey("短い"), "短い");
}

}  // namespace
}  // namespace telpod::Setting_import_export
