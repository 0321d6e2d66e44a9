#include "settings/file_save_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "platform/program_folder.h"
#include "settings/file_size_limit.h"
#include "settings/setting_file_record.h"
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
const int32_t kIds[8] = {0x7FF, 0x18DAF110, 0x1FFFFFFF, -1, 0x800, 0, 0x10000000, 5};

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
        "FF070000 10F1DA18 FFFFFF1F FFFFFFFF 00080000 00000000 00000010 05000000"  // ids
        "0001020304050607"                                                         // DLC
        "1011121314151617 2021222324252627 3031323334353637 4041424344454647"      // data
        "5051525354555657 6061626364656667 7071727374757677 8081828384858687") +
    kFolder;

class SettingFile : public ::testing::Test {
 protected:
  SettingFile() { device_.set_t_setting_file_path("/home/u/設定/"); }
  std::string Path() const { return folder_.File("config.dat"); }
  // Every stored value of device_ and db_, by the writer the first tests check.
  std::optional<std::string> Held() const { return SettingFileRecord::Bytes(device_, db_); }
  test::TempFolder folder_;
  platform::ScopedProgramFolder program_folder_{folder_.path()};
  ELM327_Info device_;
  CAN_SendDB db_;
};

TEST_F(SettingFile, DefaultTableIsWrittenByteForByte) {
  ASSERT_EQ(Save_SettingFile(device_, db_), 0);
  EXPECT_EQ(kDefaultRecord.size(), 238u + 14 + 26 + 13);
  EXPECT_EQ(test::ReadFile(Path()), kDefaultRecord);
}

TEST_F(SettingFile, StoredValuesAreWrittenByColumnAndReadBackExactly) {
  FillWorkedTable(db_);
  device_.set_t_bitRate(12);
  device_.set_t_ViewCaution(0);
  ASSERT_EQ(Save_SettingFile(device_, db_), 0);
  EXPECT_EQ(test::ReadFile(Path()), kWorkedRecord);

  // Bytes an earlier, longer record left behind are never looked at.
  test::WriteFile(Path(), kWorkedRecord + "left over from a longer record");
  ELM327_Info device;
  CAN_SendDB db;
  db.set_CAN_SendOperation(3, 1);
  ASSERT_EQ(Load_SettingFile(device, db), 0);
  EXPECT_EQ(device.t_bitRate(), 12);  // taken over unchanged, out of range or not
  EXPECT_EQ(SettingFileRecord::Bytes(device, db), kWorkedRecord);
  EXPECT_EQ(db.CAN_SendOperation(3), 1);  // run-time state is not in the file
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

TEST_F(SettingFile, FailedSaveLeavesTheOldFileWhole) {
  test::WriteFile(Path(), kWorkedRecord);
  {
    test::ScopedFileSizeLimit full_disk(100);
    EXPECT_EQ(Save_SettingFile(device_, db_), -1);
  }
  device_.set_t_setting_file_path(std::string(0x10000, 'a'));  // too long for its count
  EXPECT_EQ(Save_SettingFile(device_, db_), -1);
  EXPECT_EQ(test::ReadFile(Path()), kWorkedRecord);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 1);

  platform::ScopedProgramFolder gone("/nonexistent/telpod");  // nothing to write into: no fault
  EXPECT_EQ(Save_SettingFile(device_, db_), 0);
}

// The close tells the user why the rows could not be kept, so each failure
// carries its reason.
TEST_F(SettingFile, FailedSaveSaysWhy) {
  struct Case {
    const char* what;
    std::function<void()> spoil;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"a folder in the place of the file",
       [&] {
         std::filesystem::remove(Path());
         std::filesystem::create_directory(Path());
       },
       std::strerror(EISDIR)},
      {"a text too long for its count",
       [&] { device_.set_t_setting_file_path(std::string(0x10000, 'a')); },
       "保存する文字列が長すぎます。"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(Path());
    test::WriteFile(Path(), kWorkedRecord);
    device_.set_t_setting_file_path("/home/u/");
    c.spoil();
    std::string reason = "untouched";
    EXPECT_EQ(Save_SettingFile(device_, db_, reason), -1) << c.what;
    EXPECT_EQ(reason, c.reason) << c.what;
  }

  std::filesystem::remove_all(Path());
  test::WriteFile(Path(), kWorkedRecord);
  device_.set_t_setting_file_path("/home/u/");
  std::string reason;
  {
    test::ScopedFileSizeLimit full_disk(100);
    EXPECT_EQ(Save_SettingFile(device_, db_, reason), -1);
  }
  EXPECT_EQ(reason, std::strerror(EFBIG));
  EXPECT_EQ(test::ReadFile(Path()), kWorkedRecord);
}

TEST_F(SettingFile, AFolderTheUserMayNotWriteIsNamedAsSuch) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
  ::chmod(folder_.path().c_str(), 0555);
  std::string reason;
  EXPECT_EQ(Save_SettingFile(device_, db_, reason), -1);
  ::chmod(folder_.path().c_str(), 0755);
  EXPECT_EQ(reason, std::strerror(EACCES));
  EXPECT_FALSE(std::filesystem::exists(Path()));
}

}  // namespace
}  // namespace telpod
