#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <tuple>
#include <vector>

#include "platform/program_folder.h"
#include "platform/text_codec.h"
#include "settings/csv_export.h"
#include "settings/csv_format.h"
#include "settings/csv_import.h"
#include "settings/file_size_limit.h"
#include "support/child_process.h"
#include "support/platform_fakes.h"
#include "support/temp_folder.h"

namespace telpod::Setting_import_export {
namespace {

using namespace std::string_literals;
using platform::MessageIcon;
using platform::Utf8ToCp932;

// A file as an exported one starts, then `rows`; UTF-8 text.
std::string CsvFile(const std::vector<std::string>& rows, const std::string& eol = "\r\n") {
  std::string text = "TELPOD Ver1.11,,,Copyright (C) TELPOD Works,,,,https://x/" + eol +
                     "設定ファイル" + eol + eol + std::string(kCsvHeader);
  for (const auto& row : rows) text += eol + row;
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

// Row `no` as FillNonDefault leaves it, but with identifier `id`.
std::string NonDefaultRow(int no, const char* id) {
  return std::to_string(no) + ",1," + id + ",3,55,55,55,55,55,55,55,55,777,1";
}

class Csv : public ::testing::Test {
 protected:
  std::string Folder() const { return folder_.path() + "/"; }
  // Writes `text` as CP932 (or as it is) and imports it into db_.
  int32_t Import(const std::string& text, bool cp932 = true, ImportReport* report = nullptr) {
    test::WriteFile(folder_.File("in.csv"), cp932 ? Utf8ToCp932(text) : text);
    return Import_CSV(device_, "in.csv", Folder(), db_, report);
  }
  void ExpectOneMessage(const std::string& text, MessageIcon icon) {
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].title, "設定 Export");
    EXPECT_EQ(messages_.shown[0].text, text);
    EXPECT_EQ(messages_.shown[0].icon, icon);
  }
  test::TempFolder folder_;
  platform::ScopedProgramFolder program_folder_{folder_.path()};
  ELM327_Info device_;
  CAN_SendDB db_;
  test::RecordingMessages messages_;
};

// Exported into a folder that has gone, the file lands in the program folder.
TEST_F(Csv, DefaultTableIsWrittenInCp932ByteForByte) {
  Export_CSV(device_, "TELPOD.csv", folder_.File("gone/"), db_, messages_);
  std::string expected =
      "TELPOD Ver1.11,,,Copyright (C) TELPOD Works,,,,https://telpod.example.jp/\r\n"
      "\x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B\r\n"  // 設定ファイル
      "\r\n"
      " No , E ,    ID    ,DLC, D1 , D2 , D3 , D4 , D5 , D6 , D7 , D8 ,"
      "\x8E\x9E\x8A\xD4[ms],\x92\xE8\x8A\xFA ";  // 時間[ms], 定期
  for (int n = 1; n <= 8; ++n) {
    expected += "\r\n  " + std::to_string(n) +
                " , 0 ,        1 , 8 , 00 , 00 , 00 , 00 , 00 , 00 , 00 , 00 ,    100 , 0";
  }
  EXPECT_EQ(test::ReadFile(folder_.File("TELPOD.csv")), expected);
  ExpectOneMessage("設定をcsvでエクスポートしました。\r\nTELPOD.csv", MessageIcon::None);
}

// Every column holds a value of its own here: the reader tests below look
// at rows through this writer.
TEST_F(Csv, RowsLineUpAndWideValuesWidenTheirField) {
  db_.set_CAN_ID(0, 0x7FF);
  for (int n = 1; n <= 8; ++n) db_.set_CAN_Data(n, 0, static_cast<uint8_t>((n - 1) * 0x11));
  db_.set_CAN_Send29(1, 1);
  db_.set_CAN_ID(1, 0x18DAF110);
  db_.set_CAN_Data(1, 1, 0x02);
  db_.set_CAN_Data(2, 1, 0x01);
  db_.set_CAN_Data(3, 1, 0x0D);
  db_.set_CAN_SendCycleTime(1, 1000);
  db_.set_CAN_SendCycleOperation(1, 1);
  db_.set_CAN_ID(7, 0x1ABCDEF);
  db_.set_CAN_DLC(7, 3);
  db_.set_CAN_SendCycleTime(7, 100000);
  EXPECT_EQ(CsvRowLine(db_, 0),
            "  1 , 0 ,      7FF , 8 , 00 , 11 , 22 , 33 , 44 , 55 , 66 , 77 ,    100 , 0");
  EXPECT_EQ(CsvRowLine(db_, 1),
            "  2 , 1 ,  18DAF110 , 8 , 02 , 01 , 0D , 00 , 00 , 00 , 00 , 00 ,   1000 , 1");
  EXPECT_EQ(CsvRowLine(db_, 7),
            "  8 , 0 ,  1ABCDEF , 3 , 00 , 00 , 00 , 00 , 00 , 00 , 00 , 00 ,  100000 , 0");
}

// Through a link the export replaces the link's target; on a full disk the
// user's earlier export stays whole, with nothing left beside it.
TEST_F(Csv, ExportReplacesALinksTargetAndAFailedOneLeavesItWhole) {
  std::filesystem::create_directory(folder_.File("real"));
  test::WriteFile(folder_.File("real/TELPOD.csv"), "the user's earlier export");
  std::filesystem::create_symlink("real/TELPOD.csv", folder_.File("TELPOD.csv"));
  {
    test::ScopedFileSizeLimit full_disk(100);
    Export_CSV(device_, "TELPOD.csv", Folder(), db_, messages_);
  }
  ExpectOneMessage("設定のエクスポートに失敗しました。\r\nTELPOD.csv", MessageIcon::Critical);
  EXPECT_EQ(test::ReadFile(folder_.File("real/TELPOD.csv")), "the user's earlier export");
  EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(folder_.path()), {}), 3);
  Export_CSV(device_, "TELPOD.csv", Folder(), db_, messages_);
  EXPECT_TRUE(std::filesystem::is_symlink(folder_.File("TELPOD.csv")));
  EXPECT_EQ(test::ReadFile(folder_.File("real/TELPOD.csv")), Utf8ToCp932(CsvText(device_, db_)));
}

// Each line goes over a table with no default anywhere; the row then reads
// as expected, blanks left out, and the report names each field that held
// something invalid (an empty or missing one takes its default unnamed).
TEST_F(Csv, RowLinesTakeEachValueOrItsColumnsDefault) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"3,1,1FFFFFFF,8,FF,,,,,,,,50,1", "3,1,1FFFFFFF,8,FF,00,00,00,00,00,00,00,50,1", ""},
      {"　3 , 1,1FFF　FFFF , 8, F\0F ,,,,,,,, 5 0 ,1"s,
       "3,1,1FFFFFFF,8,FF,00,00,00,00,00,00,00,50,1", ""},
      {"1,0,20000000", "1,0,1,8,00,00,00,00,00,00,00,00,100,0", "ID 20000000>1"},
      {"1,0,FFFFFFFF,0", "1,0,1,0,00,00,00,00,00,00,00,00,100,0", "ID FFFFFFFF>1"},
      {"1,0,8000,9", "1,0,8000,8,00,00,00,00,00,00,00,00,100,0", "DLC 9>8"},
      {"1,2,0x10,8,100,a5", "1,0,1,8,00,A5,00,00,00,00,00,00,100,0", "E 2>0 ID 0x10>1 D1 100>00"},
      {"1,1,7DF,8,01,02,03,04,05,06,07,08,0", "1,1,7DF,8,01,02,03,04,05,06,07,08,100,0",
       "period 0>100"},
      {"1,0,7DF,8,,,,,,,,,-5", "1,0,7DF,8,00,00,00,00,00,00,00,00,100,0", "period -5>100"},
      {"1,0,7DF,8,,,,,,,,,250.5,1.5", "1,0,7DF,8,00,00,00,00,00,00,00,00,250,0", "periodic 1.5>0"},
      {"1,0,7DF,8,,,,,,,,,251.5,1", "1,0,7DF,8,00,00,00,00,00,00,00,00,252,1", ""},
  };
  for (const auto& [line, expected, replaced] : cases) {
    FillNonDefault(db_);
    ImportReport report;
    ASSERT_EQ(Import(CsvFile({line}), true, &report), 1) << line;
    std::string row = CsvRowLine(db_, static_cast<int16_t>(std::stoi(expected) - 1));
    std::erase(row, ' ');
    EXPECT_EQ(row, expected) << line;
    std::string named;
    for (const ReplacedField& f : report.replaced) {
      EXPECT_EQ(f.line, 5) << line;
      named += (named.empty() ? "" : " ") + std::string(RowColumnName(f.column)) + " " + f.read +
               ">" + f.used;
    }
    EXPECT_EQ(named, replaced) << line;
  }
}

// Which rows a whole file changes (their identifiers tell), none when it is
// refused. Besides the exported kind, LF line ends and UTF-8 are read.
TEST_F(Csv, FilesChangeOnlyTheRowsTheyHold) {
  using Ids = std::vector<std::pair<int16_t, int32_t>>;
  const std::vector<std::string> row1 = {NonDefaultRow(1, "7FF")};
  const Ids none, taken = {{0, 0x7FF}};
  const std::tuple<std::string, bool, Ids> files[] = {
      {CsvFile({NonDefaultRow(2, "100"), NonDefaultRow(5, "500"), NonDefaultRow(2, "200")}),
       true,
       {{1, 0x200}, {4, 0x500}}},
      {CsvFile(row1, "\n"), true, taken},
      {CsvFile(row1), false, taken},
      {"\xEF\xBB\xBF" + CsvFile(row1, "\n"), false, taken},
      {CsvFile({"0,0,7FF", "9,0,7FF", "X,0,7FF", ",0,7FF", ""}), true, none},
      {"No\r\n" + row1[0] + "\r\nTELPOD Ver 設定ファイル", true, taken},  // markers anywhere
  };
  CAN_SendDB untouched;
  FillNonDefault(untouched);
  for (const auto& [text, cp932, ids] : files) {
    db_ = untouched;
    CAN_SendDB expected = untouched;
    for (const auto& [i, id] : ids) expected.set_CAN_ID(i, id);
    EXPECT_EQ(Import(text, cp932), ids.empty() ? 0 : 1) << text;
    EXPECT_EQ(CsvText(device_, db_), CsvText(device_, expected)) << text;
  }
}

// Why a file gives no rows, as the report tells it, the table untouched.
// No line may be longer than a row line can be, so the reader never holds
// more than one such line of any file.
TEST_F(Csv, TheReportSaysWhyAFileGaveNoRows) {
  using enum ImportRefusal;
  const std::string row = NonDefaultRow(1, "7FF");
  const std::string widest = row + std::string(kLongestCsvLine - row.size(), ' ');
  // The file, the refusal, the line too long, the title and the marker missing.
  const std::tuple<std::string, ImportRefusal, long, bool, bool> files[] = {
      {CsvFile({widest}), None, 0, false, false},
      {CsvFile({widest + ","}), LineTooLong, 5, false, false},
      {std::string(8 << 20, ','), LineTooLong, 1, false, false},
      {"No\r\n" + row, NoMarkers, 0, true, true},
      {"設定ファイル\r\nNo\r\n" + row, NoMarkers, 0, true, false},
      {"TELPOD Ver1.11\r\nNo\r\n" + row, NoMarkers, 0, false, true},
      {"TELPOD Ver1.11\r\n設定ファイル\r\n" + row, NoHeading, 0, false, false},
      {CsvFile({"9,0,7FF", ""}), NoRowLine, 0, false, false},
  };
  for (const auto& [text, refusal, line, no_title, no_marker] : files) {
    ImportReport report;
    db_ = CAN_SendDB();
    EXPECT_EQ(Import(text, true, &report), refusal == None ? 1 : 0) << text.substr(0, 40);
    EXPECT_EQ(db_.CAN_ID(0), refusal == None ? 0x7FF : 1) << text.substr(0, 40);
    EXPECT_EQ(report.refusal, refusal) << text.substr(0, 40);
    EXPECT_EQ(report.line, line) << text.substr(0, 40);
    EXPECT_EQ(report.missing_title, no_title) << text.substr(0, 40);
    EXPECT_EQ(report.missing_marker, no_marker) << text.substr(0, 40);
  }
  std::filesystem::create_directory(folder_.File("folder.csv"));
  const std::pair<std::string, ImportRefusal> paths[] = {{"missing.csv", NoFile},
                                                         {"folder.csv", IsFolder}};
  for (const auto& [name, refusal] : paths) {
    ImportReport report;
    EXPECT_EQ(Import_CSV(device_, name, Folder(), db_, &report), 0);
    EXPECT_EQ(report.refusal, refusal) << name;
  }
  test::WriteFile(folder_.File("locked.csv"), Utf8ToCp932(CsvFile({row})));
  std::filesystem::permissions(folder_.File("locked.csv"), std::filesystem::perms::none);
  EXPECT_EQ(test::AsOrdinaryUser(
                folder_.path(),
                [&] {
                  ImportReport report;
                  Import_CSV(device_, "locked.csv", Folder(), db_, &report);
                  return report.refusal == NotReadable && report.error_number == EACCES ? 0 : 1;
                }),
            0);
}

TEST(CsvTitleKey, CountsCharactersNotBytes) {
  EXPECT_EQ(TitleKey("TELPOD Ver1.11"), "TELPOD Ver");
  EXPECT_EQ(TitleKey("テレポッド計測 Ver1.11"), "テレポッド計測 Ve");
  EXPECT_EQ(TitleKey("短い"), "短い");
}

}  // namespace
}  // namespace telpod::Setting_import_export
