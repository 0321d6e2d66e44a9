#include "settings/file_save_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "platform/program_folder.h"
#include "settings/file_size_limit.h"
#include "settings/setting_file_record.h"
#include "support/child_process.h"
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

// A damaged or hand-edited file: each identifier, length and period out of
// its field's range takes the field's default (1, 8, 100), so no driver is
// handed a length above 8 and no export writes nan; the switches and the
// common settings stay as stored.
TEST_F(SettingFile, StoredRowNumbersOutOfRangeTakeTheirDefaults) {
  const size_t b = kTexts.size();
  const auto period = [&](int row) { return b + 64 + 8 * static_cast<size_t>(row); };
  const auto id = [&](int row) { return b + 128 + 4 * static_cast<size_t>(row); };
  const auto dlc = [&](int row) { return b + 160 + static_cast<size_t>(row); };
  const std::pair<size_t, std::string> damage[] = {
      {dlc(2), Hex("0F")},
      {dlc(3), Hex("FF")},
      {dlc(0), Hex("09")},
      {period(1), Hex("000000000000F87F")},  // nan
      {period(4), Hex("000000000000F07F")},  // inf
      {period(5), Hex("000000000000E03F")},  // 0.5
      {period(6), Hex("000000000000F0FF")},  // -inf
      {id(3), Hex("00000000")},
      {id(4), Hex("00000020")},  // 0x20000000
      {id(7), Hex("FFFFFFFF")},
  };
  std::string bytes = kWorkedRecord;
  for (const auto& [at, value] : damage) bytes.replace(at, value.size(), value);
  test::WriteFile(Path(), bytes);
  ASSERT_EQ(Load_SettingFile(device_, db_), 0);

  CAN_SendDB expected;
  FillWorkedTable(expected);
  for (int16_t row : {0, 2, 3}) expected.set_CAN_DLC(row, 8);
  for (int16_t row : {1, 4, 5, 6}) expected.set_CAN_SendCycleTime(row, 100.0);
  for (int16_t row : {3, 4, 7}) expected.set_CAN_ID(row, 1);
  ELM327_Info stored = device_;
  stored.set_t_bitRate(12);
  stored.set_t_ViewCaution(0);
  EXPECT_EQ(Held(), SettingFileRecord::Bytes(stored, expected));
  EXPECT_EQ(db_.CAN_SendCycleOperation(6), 2);  // a switch as stored
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

// A config.dat the user made read-only stays as it is; one kept private
// stays private; temporary files a crash left beside it go at the next
// start, and nothing else does.
TEST_F(SettingFile, SaveRespectsTheFileAndTheNextStartClearsLeftovers) {
  test::WriteFile(Path(), kWorkedRecord);
  ::chmod(Path().c_str(), 0600);
  ASSERT_EQ(Save_SettingFile(device_, db_), 0);
  EXPECT_EQ(test::ReadFile(Path()), kDefaultRecord);
  EXPECT_EQ(std::filesystem::status(Path()).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  std::filesystem::remove(Path());
  const int result = test::AsOrdinaryUser(folder_.path(), [&] {
    test::WriteFile(Path(), kWorkedRecord);
    ::chmod(Path().c_str(), 0444);
    return Save_SettingFile(device_, db_) == -1 && test::ReadFile(Path()) == kWorkedRecord ? 0 : 1;
  });
  EXPECT_EQ(result, 0);

  test::WriteFile(folder_.File("config.dat.tmp-x7Yq2Z"), kDefaultRecord.substr(0, 40));
  test::WriteFile(folder_.File("config.dat.backup"), kDefaultRecord);
  ASSERT_EQ(Load_SettingFile(device_, db_), 0);
  EXPECT_FALSE(std::filesystem::exists(folder_.File("config.dat.tmp-x7Yq2Z")));
  EXPECT_TRUE(std::filesystem::exists(folder_.File("config.dat.backup")));
}

// A reader beside a running window changes no file: a foreign one stays,
// and so does a temporary file the window may be saving into.
TEST_F(SettingFile, ReadingAloneChangesNoFile) {
  using FileSaveSystem::Read_SettingFile;
  EXPECT_EQ(Read_SettingFile(device_, db_), FileSaveSystem::kNotLoaded);
  const std::string temporary = folder_.File("config.dat.tmp-x7Yq2Z");
  test::WriteFile(temporary, kDefaultRecord.substr(0, 40));
  std::string other_version = kWorkedRecord;
  other_version[2 + 13] = '2';  // "TELPOD Ver1.12"
  const std::pair<std::string, int32_t> files[] = {
      {other_version, FileSaveSystem::kForeign},
      {kWorkedRecord.substr(0, kWorkedRecord.size() - 3), FileSaveSystem::kNotLoaded},
      {kWorkedRecord, FileSaveSystem::kLoaded},
  };
  for (const auto& [bytes, result] : files) {
    test::WriteFile(Path(), bytes);
    EXPECT_EQ(Read_SettingFile(device_, db_), result) << bytes.size();
    EXPECT_EQ(test::ReadFile(Path()), bytes);
    EXPECT_TRUE(std::filesystem::exists(temporary));
  }
  CAN_SendDB worked;
  FillWorkedTable(worked);
  ELM327_Info stored = device_;
  stored.set_t_bitRate(12);
  stored.set_t_ViewCaution(0);
  EXPECT_EQ(Held(), SettingFileRecord::Bytes(stored, worked));
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
}

enum class Program { Writable, ReadOnly, Vanished };

// The program folder in each of its states, and a user of the test's own.
class PerUserSettingFile : public SettingFile, public ::testing::WithParamInterface<Program> {
 protected:
  PerUserSettingFile() {
    if (GetParam() == Program::ReadOnly) ::chmod(folder_.path().c_str(), 0555);
    if (GetParam() == Program::Vanished) vanished_.emplace(folder_.File("gone"));
  }
  std::string UsersFile() const { return user_.File("config/telpod/config.dat"); }

  test::TempFolder user_;
  test::ScopedEnvironment home_{"HOME", user_.path()};
  test::ScopedEnvironment xdg_{"XDG_CONFIG_HOME", user_.File("config")};

 private:
  std::optional<platform::ScopedProgramFolder> vanished_;
};

// The rows come back at the next start wherever they were kept, and only
// a program folder the user may write holds them.
TEST_P(PerUserSettingFile, RowsComeBackFromTheUsersOwnFile) {
  FillWorkedTable(db_);
  ASSERT_EQ(Save_SettingFile(device_, db_), 0);
  const bool beside_program = GetParam() == Program::Writable;
  EXPECT_EQ(FileSaveSystem::SettingFilePath(), beside_program ? Path() : UsersFile());
  EXPECT_EQ(test::ReadFile(FileSaveSystem::SettingFilePath()), Held());
  EXPECT_EQ(std::filesystem::exists(Path()), beside_program);
  EXPECT_EQ(std::filesystem::exists(UsersFile()), !beside_program);

  ELM327_Info device;
  CAN_SendDB db;
  ASSERT_EQ(Load_SettingFile(device, db), 0);
  EXPECT_EQ(SettingFileRecord::Bytes(device, db), Held());
}

// Nowhere to keep the rows is a failure, never a quiet success.
TEST_P(PerUserSettingFile, AConfigurationFolderThatCannotBeMadeFailsTheSave) {
  test::WriteFile(user_.File("config"), "a file where the folder should be");
  EXPECT_EQ(Save_SettingFile(device_, db_), GetParam() == Program::Writable ? 0 : -1);
}

std::string StateName(const ::testing::TestParamInfo<Program>& info) {
  return info.param == Program::Writable   ? "Writable"
         : info.param == Program::ReadOnly ? "ReadOnly"
                                           : "Vanished";
}

INSTANTIATE_TEST_SUITE_P(ProgramFolder, PerUserSettingFile,
                         ::testing::Values(Program::Writable, Program::ReadOnly, Program::Vanished),
                         StateName);

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

}  // namespace
}  // namespace telpod
