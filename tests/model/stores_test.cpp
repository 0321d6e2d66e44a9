#include <gtest/gtest.h>
#include <sys/stat.h>

#include "model/bit_rate_table.h"
#include "model/can_senddb.h"
#include "model/elm327_info.h"
#include "platform/program_folder.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

TEST(CAN_SendDB, ClearsRestoreTheDefaultsAndPrimeThePeriods) {
  CAN_SendDB db;
  for (int16_t i = 0; i < 8; ++i) {
    db.set_CAN_SendOperation(i, 1);
    db.set_CAN_SendCycleOperation(i, 1);
    db.set_CAN_Send29(i, 1);
    db.set_CAN_SendCycleTime(i, 5.5);
    db.set_CAN_SendTime(i, 3.0);
    db.set_CAN_ID(i, 0x123);
    db.set_CAN_DLC(i, 2);
    db.set_CAN_Data(1 + i, i, 0xAB);
  }
  db.set_CAN_Array_MAX(3);
  db.Param_ALL_Clear();
  EXPECT_EQ(db.CAN_Array_MAX(), 7);
  for (int16_t i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(db.CAN_SendOperation(i), 0);
    EXPECT_EQ(db.CAN_SendCycleOperation(i), 0);
    EXPECT_EQ(db.CAN_Send29(i), 0);
    EXPECT_EQ(db.CAN_SendCycleTime(i), 100.0);
    EXPECT_EQ(db.CAN_SendTime(i), 100.0);
    EXPECT_EQ(db.CAN_ID(i), 1);
    EXPECT_EQ(db.CAN_DLC(i), 8);
    EXPECT_EQ(db.DataBytes(i), (std::array<uint8_t, 8>{}));
  }
  // The timer's clear keeps the rows and primes each with its own period.
  db.set_CAN_SendCycleTime(3, 250.0);
  db.set_CAN_SendOperation(3, 1);
  db.Timer_Clear();
  EXPECT_EQ(db.CAN_SendTime(3), 250.0);
  EXPECT_EQ(db.CAN_SendOperation(3), 0);
}

TEST(ArrayFill, FillsUpToTheGivenIndexAndNothingWhenNegative) {
  std::array<int32_t, 4> a{9, 9, 9, 9};
  ArrayFill::Arayy_ALL_Clear_zero_long(-1, 0, a);
  EXPECT_EQ(a, (std::array<int32_t, 4>{9, 9, 9, 9}));
  ArrayFill::Arayy_ALL_Clear_zero_long(1, 5, a);
  EXPECT_EQ(a, (std::array<int32_t, 4>{5, 5, 9, 9}));
  ArrayFill::Arayy_ALL_Clear_zero_long(30, 0, a);  // stops at the array's end
  EXPECT_EQ(a, (std::array<int32_t, 4>{}));
}

// The file dialogs open in the program folder, or at home when that is the
// system's.
TEST(ELM327_Info, ParamAllClearGivesTheDefaults) {
  test::TempFolder program, home;
  test::ScopedEnvironment home_env("HOME", home.path());
  platform::ScopedProgramFolder folder(program.path());
  ELM327_Info device;
  device.set_t_bitRate(7);
  device.set_t_select_Vender(3);
  device.Param_ALL_Clear();
  EXPECT_EQ(device.install_version(), 111);
  EXPECT_EQ(device.Application_title(), "TELPOD Ver1.11");
  EXPECT_FALSE(device.Copy_light().empty());
  EXPECT_EQ(device.Homepage_URL().rfind("https://", 0), 0u);
  EXPECT_EQ(device.ExcelInstallCheck(), 0);
  EXPECT_EQ(device.ExcelInstallVersion(), 0);
  EXPECT_EQ(device.t_bitRate(), 2);
  EXPECT_EQ(device.t_ViewCaution(), 1);
  EXPECT_EQ(device.t_CmbBOX_device_SelectNo(), 0);
  EXPECT_EQ(device.t_select_Vender(), 0);
  EXPECT_EQ(device.t_setting_file_path(), program.path());
  ::chmod(program.path().c_str(), 0555);
  EXPECT_EQ(ELM327_Info().t_setting_file_path(), home.path());
}

TEST(BitRateTable, IndexEightIs125k) {
  EXPECT_EQ(BitRateLabel(8), "125k bps");
  EXPECT_EQ(BitRateLabel(9), "");
  EXPECT_EQ(BitRateLabel(-1), "");
}

}  // namespace
}  // namespace telpod
