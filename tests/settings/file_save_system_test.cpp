#include "settings/file_save_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <tuple>
#include <vector>

#include "platform/program_folder.h"
#include "settings/file_size_limit.h"
#include "settings/setting_file_record.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

using FileSaveSystem::Load_SettingFile;
using FileSaveSystem::Save_SettingFile;

using namespace std::string_literals;

// "0E00 5445" -> the bytes 0x0E 0x00 0x54 0x45, `times` over.
std::string Hex(std::string_view hex, int times = 1) {
  std::string digits(hex), bytes;
  std::erase(digits, ' ');
  for (size_t k = 0; k + 1 < digits.size(); k += 2) {
    bytes += static_cast<char>(std::stoi(digits.substr(k, 2), nullptr, 16));
  }
  std::string all;
  while (times-- > 0) all += bytes;
  return all;
}

// Each text as stored: a 16-bit byte count, then its CP932 bytes.
const std::string kTexts =
    "\x0E\x00TELPOD Ver1.11\x1A\x00"
    "Copyright (C) TELPOD Works"s;
const std::string kFolder = "\x0D\x00/home/u/\x90\xDD\x92\xE8/"s;  // "/home/u/設定/"

// The default table, stored column by column.
const std::string kDefaultRecord =
    kTexts + Hex("000000000000000000000000 6F000000 02000000 01000000") +  // reserved to caution
    Hex("00000000", 8) + Hex("00", 8) + Hex("0000000000005940", 8) + Hex("01000000", 8) +
    Hex("08", 8) + Hex("00", 64) + kFolder;

// A table with a different value in every stored field, as some earlier
// run of the program left it.
const int32_t kIds[8] = {0x7FF, 0x18DAF110, 0x1FFFFFFF, 1, 0x800, 0x123, 0x10000000, 5};

void FillWorkedTable(CAN_SendDB& db) {
  for (int16_t i = 0; i < 8; ++i) {
    db.set_CAN_SendCycleOperation(i, i == 1 ? 1 : (i == 6 ? 2 : 0));
    db.set_CAN_Send29(i, i >= 4);
    db.set_CAN_SendCycleTime(i, 12.5 + 1000.25 * i);
    db.set_CAN_ID(i, kIds[i]);
    db.set_CAN_DLC(i, static_cast<uint8_t>(i));
    for (int n = 1; n <= 8; ++n) db.set_CAN_Data(n, i, static_cast<uint8_t>(n * 16 + i));
  }
}

// That table with bit-rate index 12 and caution 0, stored column by column.
const std::string kWorkedRecord =
    kTexts +
    Hex("000000000000000000000000 6F000000 0C000000 00000000"  // reserved to caution
        "00000000 01000000 00000000 00000000 00000000 00000000 02000000 00000000"  // periodic
        "0000000001010101"                                                         // 29-bit
        "0000000000002940 0000000000A68F40 0000000000749F40 00000000808AA740"      // periods
        "00000000005BAF40 00000000C095B340 00000000007EB740 000000004066BB40"
        "FF070000 10F1DA18 FFFFFF1F 01000000 00080000 23010000 00000010 05000000"  // ids
        "0001020304050607"                                                         // DLC
        "1011121314151617 2021222324252627 3031323334353637 4041424344454647"      // data
        "5051525354555657 6061626364656667 7071727374757677 8081828384858687") +
    kFolder;

class SettingFile : public ::testing::Test {
 protected:
  SettingFile() { device_.set_t_setting_file_path("/home/u/設定/"); }
  std::string Path() const { return folder_.File("config.dat"); }
  // Every stored value of device_ and db_, by the writer the saves use.
  std::optional<std::string> Held() const { return SettingFileRecord::Bytes(device_, db_); }
  test::TempFolder folder_;
  platform::ScopedProgramFolder program_folder_{folder_.path()};
  ELM327_Info device_;
  CAN_SendDB db_;
};

// Read back, bytes an earlier, longer record left behind are never looked
// at, and the bit-rate index is taken over unchanged, in range or not.
TEST_F(SettingFile, StoredValuesAreWrittenByColumnAndReadBackExactly) {
  FillWorkedTable(db_);
  device_.set_t_bitRate(12);
  device_.set_t_ViewCaution(0);
  ASSERT_EQ(Save_SettingFile(device_, db_), 0);
  EXPECT_EQ(test::ReadFile(Path()), kWorkedRecord);

  test::WriteFile(Path(), kWorkedRecord + "left over from a longer record");
  ELM327_Info device;
  CAN_SendDB db;
  db.set_CAN_SendOperation(3, 1);
  ASSERT_EQ(Load_SettingFile(device, db), 0);
  EXPECT_EQ(SettingFileRecord::Bytes(device, db), kWorkedRecord);
  EXPECT_EQ(db.CAN_SendOperation(3), 1);  // run-time state is not in the file
}

// Whatever a reader takes into the table (an ID or a DLC of 0 from a CSV
// file, a workbook's period with its fraction, the switches and the
// bit-rate index as config.dat stores them) comes back exactly at the next
// start, at both ends of each field's range.
TEST_F(SettingFile, EveryFieldAtBothEndsOfWhatAnyReaderTakesReadsBackExactly) {
  using Int = std::numeric_limits<int32_t>;
  struct Ends {
    int32_t number;  // the switches, the bit-rate index and the caution flag
    uint8_t byte;    // the 29-bit switch and the data bytes
    double period;
    int32_t id;
    uint8_t dlc;
    std::string folder;
  };
  const Ends ends[] = {
      {Int::min(), 0, 1.0, 0, 0, ""},
      {Int::max(), 0xFF, std::numeric_limits<double>::max(), 0x1FFFFFFF, 8,
       std::string(0xFFFF, 'f')},
  };
  for (const auto& e : ends) {
    device_.set_t_bitRate(e.number);
    device_.set_t_ViewCaution(e.number);
    device_.set_t_setting_file_path(e.folder);
    for (int16_t i = 0; i < 8; ++i) {
      db_.set_CAN_SendCycleOperation(i, e.number);
      db_.set_CAN_Send29(i, e.byte);
      db_.set_CAN_SendCycleTime(i, e.period);
      db_.set_CAN_ID(i, e.id);
      db_.set_CAN_DLC(i, e.dlc);
      for (int n = 1; n <= 8; ++n) db_.set_CAN_Data(n, i, e.byte);
    }
    ASSERT_EQ(Save_SettingFile(device_, db_), 0);
    ELM327_Info device;
    CAN_SendDB db;
    ASSERT_EQ(Load_SettingFile(device, db), 0);
    EXPECT_EQ(SettingFileRecord::Bytes(device, db), Held()) << e.id;
    EXPECT_EQ(db.CAN_ID(5), e.id);
  }
}

// A damaged or hand-edited file: each identifier, length and period out of
// its field's range takes the field's default (1, 8, 100), so no driver is
// handed a length above 8 and no export writes nan; the switches and the
// common settings stay as stored.
TEST_F(SettingFile, StoredRowNumbersOutOfRangeTakeTheirDefaults) {
  const size_t b = kTexts.size();
  const auto period = [&](size_t row) { return b + 64 + 8 * row; };
  const auto id = [&](size_t row) { return b + 128 + 4 * row; };
  const auto dlc = [&](size_t row) { return b + 160 + row; };
  const std::string kDlc8 = Hex("08"), kPeriod100 = Hex("0000000000005940"), kId1 = Hex("01000000");
  const std::tuple<size_t, std::string, std::string> damage[] = {
      {dlc(2), Hex("0F"), kDlc8},
      {dlc(3), Hex("FF"), kDlc8},
      {dlc(0), Hex("09"), kDlc8},
      {period(1), Hex("000000000000F87F"), kPeriod100},  // nan
      {period(4), Hex("000000000000F07F"), kPeriod100},  // inf
      {period(5), Hex("000000000000E03F"), kPeriod100},  // 0.5
      {period(6), Hex("000000000000F0FF"), kPeriod100},  // -inf
      {id(3), Hex("00000080"), kId1},                    // negative
      {id(4), Hex("00000020"), kId1},                    // 0x20000000
      {id(7), Hex("FFFFFFFF"), kId1},
  };
  std::string bytes = kWorkedRecord, repaired = kWorkedRecord;
  for (const auto& [at, bad, good] : damage) {
    bytes.replace(at, bad.size(), bad);
    repaired.replace(at, good.size(), good);
  }
  test::WriteFile(Path(), bytes);
  ASSERT_EQ(Load_SettingFile(device_, db_), 0);
  EXPECT_EQ(Held(), repaired);
}

// Another writer's file, or one too short to tell, is foreign and goes even
// when read-only; one that is ours but ends early is kept for the next save
// to replace. Nothing is read past the end, nothing taken from either.
TEST_F(SettingFile, RefusedFilesGiveNothingAndOnlyForeignOnesAreDeleted) {
  EXPECT_EQ(Load_SettingFile(device_, db_), -1);  // no file at all
  std::vector<std::pair<std::string, int32_t>> files(4, {kWorkedRecord, -2});
  files[0].first[2 + 13] = '2';                    // "TELPOD Ver1.12"
  files[1].first[2 + 14 + 2] = 'c';                // another maker
  files[2].first[kTexts.size() + 12] = 110;        // format number 110
  files[3].first[0] = files[3].first[1] = '\xFF';  // a title count past the end
  std::string long_folder = kWorkedRecord;
  long_folder[long_folder.size() - 14] = 0x01;  // the folder's count 0x010D, 13 bytes follow
  files.emplace_back(long_folder, -1);
  const size_t identity_bytes = kTexts.size() + 12 + 4;  // up to the format number
  for (size_t cut = 0; cut < kWorkedRecord.size(); ++cut) {
    files.emplace_back(kWorkedRecord.substr(0, cut), cut < identity_bytes ? -2 : -1);
  }
  for (const auto& [bytes, result] : files) {
    test::WriteFile(Path(), bytes);
    if (result == -2) ::chmod(Path().c_str(), 0444);
    ASSERT_EQ(Load_SettingFile(device_, db_), result) << bytes.size();
    EXPECT_EQ(std::filesystem::exists(Path()), result == -1) << bytes.size();
  }
  EXPECT_EQ(Held(), kDefaultRecord);
}

// Temporary files a crash left beside config.dat go at the next start. A
// reader beside a running window changes no file: a foreign one stays, and
// so does a temporary file the window may be saving into.
TEST_F(SettingFile, OnlyTheStartClearsLeftoversAndTheReaderChangesNoFile) {
  const std::string temporary = folder_.File("config.dat.tmp-x7Yq2Z");
  test::WriteFile(temporary, kDefaultRecord.substr(0, 40));
  std::string other_version = kWorkedRecord;
  other_version[2 + 13] = '2';  // "TELPOD Ver1.12"
  const std::pair<std::string, int32_t> files[] = {{other_version, FileSaveSystem::kForeign},
                                                   {kWorkedRecord, FileSaveSystem::kLoaded}};
  for (const auto& [bytes, result] : files) {
    test::WriteFile(Path(), bytes);
    EXPECT_EQ(FileSaveSystem::Read_SettingFile(device_, db_), result);
    EXPECT_EQ(test::ReadFile(Path()), bytes);
    EXPECT_TRUE(std::filesystem::exists(temporary));
  }
  EXPECT_EQ(Held(), kWorkedRecord);
  ASSERT_EQ(Load_SettingFile(device_, db_), 0);
  EXPECT_FALSE(std::filesystem::exists(temporary));
}

// The old file stays whole with nothing left beside it, and the reason
// comes back, since the close tells the user why the rows were not kept.
TEST_F(SettingFile, FailedSaveLeavesTheOldFileWholeAndSaysWhy) {
  struct Case {
    const char* what;
    std::function<void()> spoil;
    bool full_disk;
    std::string reason;
  };
  const Case cases[] = {
      {"a text too long for its count",
       [&] { device_.set_t_setting_file_path(std::string(0x10000, 'a')); }, false,
       "保存する文字列が長すぎます。"},
      {"a full disk", [] {}, true, std::strerror(EFBIG)},
      {"a folder in the place of the file",  // last: nothing can be written after it
       [&] {
         std::filesystem::remove(Path());
         std::filesystem::create_directory(Path());
       },
       false, std::strerror(EISDIR)},
  };
  for (const auto& c : cases) {
    test::WriteFile(Path(), kWorkedRecord);
    device_.set_t_setting_file_path("/home/u/");
    c.spoil();
    std::string reason = "untouched";
    {
      std::optional<test::ScopedFileSizeLimit> limit;
      if (c.full_disk) limit.emplace(100);
      EXPECT_EQ(Save_SettingFile(device_, db_, reason), -1) << c.what;
    }
    EXPECT_EQ(reason, c.reason) << c.what;
    EXPECT_EQ(std::filesystem::is_directory(Path()) ? kWorkedRecord : test::ReadFile(Path()),
              kWorkedRecord)
        << c.what;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 1) << c.what;
  }
}

// Only a program folder the user may write holds the rows; else they go to
// the user's own file and come back from it at the next start. Nowhere to
// keep them is a failure that says so, never a quiet success.
TEST_F(SettingFile, RowsGoToTheUsersOwnFileWhenTheProgramFolderIsNotWritable) {
  test::TempFolder user;
  test::ScopedEnvironment xdg{"XDG_CONFIG_HOME", user.File("config")};
  test::WriteFile(user.File("config"), "a file where the folder should be");
  ASSERT_EQ(Save_SettingFile(device_, db_), 0);  // beside the program, no folder needed
  ::chmod(folder_.path().c_str(), 0555);
  std::string reason;
  EXPECT_EQ(Save_SettingFile(device_, db_, reason), -1);
  EXPECT_EQ(reason, "設定を保存するフォルダーを作れませんでした。");

  std::filesystem::remove(user.File("config"));
  FillWorkedTable(db_);
  ASSERT_EQ(Save_SettingFile(device_, db_), 0);
  EXPECT_EQ(FileSaveSystem::SettingFilePath(), user.File("config/telpod/config.dat"));
  EXPECT_EQ(test::ReadFile(FileSaveSystem::SettingFilePath()), Held());
  EXPECT_EQ(test::ReadFile(Path()), kDefaultRecord);
  ELM327_Info device;
  CAN_SendDB db;
  ASSERT_EQ(Load_SettingFile(device, db), 0);
  EXPECT_EQ(SettingFileRecord::Bytes(device, db), Held());
}

}  // namespace
}  // namespace telpod
