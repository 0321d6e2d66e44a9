#include "settings/csv_export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/program_folder.h"
#include "settings/file_size_limit.h"
#include "support/engine_fakes.h"
#include "support/temp_folder.h"

namespace telpod::Setting_import_export {
namespace {

// Every row of the default table, as its line must read.
constexpr const char* kDefaultRow =
    " , 0 ,        1 , 8 , 00 , 00 , 00 , 00 , 00 , 00 , 00 , 00 ,    100 , 0";

class CsvExport : public ::testing::Test {
 protected:
  std::string Folder() const { return folder_.path() + "/"; }
  test::TempFolder folder_;
  test::TempFolder program_;
  platform::ScopedProgramFolder program_folder_{program_.path()};
  ELM327_Info device_;
  CAN_SendDB db_;
  test::RecordingMessages messages_;
};

TEST_F(CsvExport, DefaultTableIsWrittenInCp932ByteForByte) {
  Export_CSV(device_, "TELPOD.csv", Folder(), db_, messages_);
  std::string expected =
      "TELPOD Ver1.11,,,Copyright (C) TELPOD Works,,,,https://telpod.example.jp/\r\n"
      "\x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B\r\n"  // 設定ファイル
      "\r\n"
      " No , E ,    ID    ,DLC, D1 , D2 , D3 , D4 , D5 , D6 , D7 , D8 ,"
      "\x8E\x9E\x8A\xD4[ms],\x92\xE8\x8A\xFA ";  // 時間[ms], 定期
  for (int n = 1; n <= 8; ++n) expected += "\r\n  " + std::to_string(n) + kDefaultRow;
  EXPECT_EQ(test::ReadFile(folder_.File("TELPOD.csv")), expected);

  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].title, "設定 Export");
  EXPECT_EQ(messages_.shown[0].text, "設定をcsvでエクスポートしました。\r\nTELPOD.csv");
  EXPECT_EQ(messages_.shown[0].icon, platform::MessageIcon::None);
}

TEST_F(CsvExport, RowsLineUpAndWideValuesWidenTheirField) {
  db_.set_CAN_ID(0, 0x7FF);
  for (int n = 1; n <= 8; ++n) db_.set_CAN_Data(n, 0, static_cast<uint8_t>((n - 1) * 0x11));
  db_.set_CAN_Send29(1, 1);
  db_.set_CAN_ID(1, 0x18DAF110);
  db_.set_CAN_Data(1, 1, 0x02);
  db_.set_CAN_Data(2, 1, 0x01);
  db_.set_CAN_Data(3, 1, 0x0D);
  db_.set_CAN_SendCycleTime(1, 1000);
  db_.set_CAN_SendCycleOperation(1, 1);
  EXPECT_EQ(CsvRowLine(db_, 0),
            "  1 , 0 ,      7FF , 8 , 00 , 11 , 22 , 33 , 44 , 55 , 66 , 77 ,    100 , 0");
  EXPECT_EQ(CsvRowLine(db_, 1),
            "  2 , 1 ,  18DAF110 , 8 , 02 , 01 , 0D , 00 , 00 , 00 , 00 , 00 ,   1000 , 1");

  db_.set_CAN_ID(7, 0x1ABCDEF);
  db_.set_CAN_SendCycleTime(7, 12.5);
  EXPECT_EQ(CsvRowLine(db_, 7),
            "  8 , 0 ,  1ABCDEF , 8 , 00 , 00 , 00 , 00 , 00 , 00 , 00 , 00 ,   12.5 , 0");
  db_.set_CAN_SendCycleTime(7, 100000);
  EXPECT_EQ(CsvRowLine(db_, 7),
            "  8 , 0 ,  1ABCDEF , 8 , 00 , 00 , 00 , 00 , 00 , 00 , 00 , 00 ,  100000 , 0");
}

TEST_F(CsvExport, GoneFolderFallsBackToTheProgramFolder) {
  Export_CSV(device_, "TELPOD.csv", folder_.File("gone/"), db_, messages_);
  EXPECT_TRUE(std::filesystem::exists(program_.File("TELPOD.csv")));
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].icon, platform::MessageIcon::None);
}

TEST_F(CsvExport, FailureIsReportedAndLeavesTheOldFileWhole) {
  test::WriteFile(folder_.File("TELPOD.csv"), "the user's earlier export");
  {
    test::ScopedFileSizeLimit full_disk(100);
    Export_CSV(device_, "TELPOD.csv", Folder(), db_, messages_);
  }
  EXPECT_EQ(test::ReadFile(folder_.File("TELPOD.csv")), "the user's earlier export");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 1);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].title, "設定 Export");
  EXPECT_EQ(messages_.shown[0].text, "設定のエクスポートに失敗しました。\r\nTELPOD.csv");
  EXPECT_EQ(messages_.shown[0].icon, platform::MessageIcon::Critical);
}

}  // namespace
}  // namespace telpod::Setting_import_export
