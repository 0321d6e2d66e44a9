#include "settings/file_save_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <bit>
#include <cmath>
#include <filesystem>

#include "platform/program_folder.h"
#include "settings/file_size_limit.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

using FileSaveSystem::Load_SettingFile;
using FileSaveSystem::Save_SettingFile;

// "0E00 5445" -> the bytes 0x0E 0x00 0x54 0x45.
std::string Hex(std::string_view hex) {
  std::string bytes;
  for (size_t k = 0; k < hex.size(); ++k) {
    if (hex[k] == ' ') continue;
    bytes += static_cast<char>(std::stoi(std::string(hex.substr(k, 2)), nullptr, 16));
    ++k;
  }
  return bytes;
}

std::string Repeat(std::string_view hex, int times) {
  std::string all;
  for (int k = 0; k < times; ++k) all += Hex(hex);
  return all;
}

std::string Le(uint64_t value, int size) {
  std::string bytes;
  for (int k = 0; k < size; ++k) bytes += static_cast<char>(value >> (8 * k));
  return bytes;
}

constexpr std::string_view kTitle = "0E00 54454C504F4420566572312E3131";  // "TELPOD Ver1.11"
constexpr std::string_view kCaption =  // "Copyright (C) TELPOD Works"
    "1A00 436F70797269676874202843292054454C504F4420576F726B73";
constexpr std::string_view kFolder =
    "0D00 2F686F6D652F752F 90DD92E8 2F";             // "/home/u/設定/" in CP932
constexpr size_t kIdentityBytes = 4 + 14 + 26 + 16;  // up to the format number

// A table with a different value in every stored field, as some earlier
// run of the program left it.
const int32_t kIds[8] = {0x7FF, 0x18DAF110, 0x1FFFFFFF, -1, 0x800, 0, 0x10000000, 5};
double Period(int i) {
  return 12.5 + 1000.25 * i;
}

void FillWorkedTable(CAN_SendDB& db) {
  for (int16_t i = 0; i < 8; ++i) {
    db.set_CAN_SendCycleOperation(i, i == 1 ? 1 : (i == 6 ? 2 : 0));
    db.set_CAN_Send29(i, i >= 4);
    db.set_CAN_SendCycleTime(i, Period(i));
    db.set_CAN_ID(i, kIds[i]);
    db.set_CAN_DLC(i, static_cast<uint8_t>(i));
    for (int n = 1; n <= 8; ++n) db.set_CAN_Data(n, i, static_cast<uint8_t>(n * 16 + i));
  }
}

// The same table as a stored record, column by column, with bit-rate index
// `bit_rate` and format number `version`.
std::string WorkedRecord(int32_t bit_rate, int32_t version = 111) {
  std::string r =
      Hex(kTitle) + Hex(kCaption) + Repeat("00", 12) + Le(version, 4) + Le(bit_rate, 4) + Le(0, 4);
  for (int i = 0; i < 8; ++i) r += Le(i == 1 ? 1 : (i == 6 ? 2 : 0), 4);
  for (int i = 0; i < 8; ++i) r += Le(i >= 4, 1);
  for (int i = 0; i < 8; ++i) r += Le(std::bit_cast<uint64_t>(Period(i)), 8);
  for (int i = 0; i < 8; ++i) r += Le(static_cast<uint32_t>(kIds[i]), 4);
  for (int i = 0; i < 8; ++i) r += Le(i, 1);
  for (int n = 1; n <= 8; ++n) {
    for (int i = 0; i < 8; ++i) r += Le(n * 16 + i, 1);
  }
  return r + Hex(kFolder);
}

void ExpectSameStoredFields(const CAN_SendDB& a, const CAN_SendDB& b) {
  for (int16_t i = 0; i < 8; ++i) {
    EXPECT_EQ(a.CAN_SendCycleOperation(i), b.CAN_SendCycleOperation(i)) << i;
    EXPECT_EQ(a.CAN_Send29(i), b.CAN_Send29(i)) << i;
    EXPECT_EQ(a.CAN_SendCycleTime(i), b.CAN_SendCycleTime(i)) << i;
    EXPECT_EQ(a.CAN_ID(i), b.CAN_ID(i)) << i;
    EXPECT_EQ(a.CAN_DLC(i), b.CAN_DLC(i)) << i;
    EXPECT_EQ(a.DataBytes(i), b.DataBytes(i)) << i;
  }
}

class SettingFile : public ::testing::Test {
 protected:
  std::string Path() const { return folder_.File("config.dat"); }
  test::TempFolder folder_;
  platform::ScopedProgramFolder program_folder_{folder_.path()};
  ELM327_Info device_;
  CAN_SendDB db_;
};

TEST_F(SettingFile, DefaultTableIsWrittenByteForByte) {
  device_.set_t_setting_file_path("/home/u/設定/");
  ASSERT_EQ(Save_SettingFile(device_, db_), 0);
  const std::string expected =
      Hex(kTitle) + Hex(kCaption) + Repeat("00", 12) + Hex("6F000000 02000000 01000000") +
      Repeat("00000000", 8) + Repeat("00", 8) + Repeat("0000000000005940", 8) +
      Repeat("01000000", 8) + Repeat("08", 8) + Repeat("00", 64) + Hex(kFolder);
  EXPECT_EQ(expected.size(), 238u + 14 + 26 + 13);
  EXPECT_EQ(test::ReadFile(Path()), expected);
}

TEST_F(SettingFile, StoredValuesAreWrittenByColumnAndReadBackExactly) {
  FillWorkedTable(db_);
  device_.set_t_bitRate(12);
  device_.set_t_ViewCaution(0);
  device_.set_t_setting_file_path("/home/u/設定/");
  ASSERT_EQ(Save_SettingFile(device_, db_), 0);
  EXPECT_EQ(test::ReadFile(Path()), WorkedRecord(12));

  // Bytes an earlier, longer record left behind are never looked at.
  test::WriteFile(Path(), WorkedRecord(12) + "left over from a longer record");
  ELM327_Info device;
  CAN_SendDB db;
  db.set_CAN_SendOperation(3, 1);
  ASSERT_EQ(Load_SettingFile(device, db), 0);
  EXPECT_EQ(device.t_bitRate(), 12);  // taken over unchanged, out of range or not
  EXPECT_EQ(device.t_ViewCaution(), 0);
  EXPECT_EQ(device.t_setting_file_path(), "/home/u/設定/");
  ExpectSameStoredFields(db, db_);
  EXPECT_EQ(db.CAN_SendOperation(3), 1);  // run-time state is not in the file
}

TEST_F(SettingFile, MissingFileLeavesTheDefaults) {
  EXPECT_EQ(Load_SettingFile(device_, db_), -1);
  EXPECT_EQ(device_.t_bitRate(), 2);
  EXPECT_EQ(device_.t_ViewCaution(), 1);
  ExpectSameStoredFields(db_, CAN_SendDB());
}

TEST_F(SettingFile, FileOfAnotherVersionOrMakerIsDeletedEvenWhenReadOnly) {
  std::string other_title = WorkedRecord(5);
  other_title[2 + 13] = '2';  // "TELPOD Ver1.12"
  std::string other_caption = WorkedRecord(5);
  other_caption[2 + 14 + 2] = 'c';
  for (const std::string& foreign : {WorkedRecord(5, 110), other_title, other_caption}) {
    test::WriteFile(Path(), foreign);
    ::chmod(Path().c_str(), 0444);
    EXPECT_EQ(Load_SettingFile(device_, db_), -2);
    EXPECT_FALSE(std::filesystem::exists(Path()));
    EXPECT_EQ(device_.t_bitRate(), 2);
    ExpectSameStoredFields(db_, CAN_SendDB());
  }
}

// A file that ends before it shows its writer is foreign and goes; one that
// shows it is ours but ends early is kept for the next save to replace.
TEST_F(SettingFile, CutShortFileIsNeverReadPastItsEnd) {
  const std::string full = WorkedRecord(5);
  for (size_t cut = 0; cut < full.size(); ++cut) {
    test::WriteFile(Path(), full.substr(0, cut));
    const int32_t expected = cut < kIdentityBytes ? -2 : -1;
    ASSERT_EQ(Load_SettingFile(device_, db_), expected) << cut;
    EXPECT_EQ(std::filesystem::exists(Path()), expected == -1) << cut;
  }
  EXPECT_EQ(device_.t_bitRate(), 2);
  ExpectSameStoredFields(db_, CAN_SendDB());

  // Text counts that run past the end of the file.
  test::WriteFile(Path(), Hex("FFFF") + full.substr(2));
  EXPECT_EQ(Load_SettingFile(device_, db_), -2);
  std::string long_folder = full;
  long_folder[full.size() - 14] = 0x01;  // the folder's count 0x010D, 13 bytes follow
  test::WriteFile(Path(), long_folder);
  EXPECT_EQ(Load_SettingFile(device_, db_), -1);
  EXPECT_EQ(device_.t_setting_file_path(), platform::ProgramFolder());
}

TEST_F(SettingFile, FailedSaveLeavesTheOldFileWhole) {
  const std::string old = WorkedRecord(5);
  test::WriteFile(Path(), old);
  {
    test::ScopedFileSizeLimit full_disk(100);
    EXPECT_EQ(Save_SettingFile(device_, db_), -1);
  }
  device_.set_t_setting_file_path(std::string(0x10000, 'a'));  // too long for its count
  EXPECT_EQ(Save_SettingFile(device_, db_), -1);
  EXPECT_EQ(test::ReadFile(Path()), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 1);
}

TEST(SettingFileSave, GoneProgramFolderWritesNothing) {
  platform::ScopedProgramFolder gone("/nonexistent/telpod");
  EXPECT_EQ(Save_SettingFile(ELM327_Info(), CAN_SendDB()), 0);
}

}  // namespace
}  // namespace telpod
