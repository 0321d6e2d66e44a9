#include "xls_test_support.h"

#include <sys/wait.h>

#include <cstdlib>

namespace telpod::test {

CAN_SendDB SampleTable(int variant) {
  static constexpr int32_t kIds[] = {0x1FFFFFFF, 0x7FF, 0x18DAF110, 0, 0x800, 0x123, 0x1, 0xABCDE};
  static constexpr double kPeriods[] = {12.5, 1, 9999.75, 100, 1.25, 2147483647, 250.5, 0.3e4};
  CAN_SendDB db;
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    db.set_CAN_ID(i, kIds[(i + variant) % CAN_SendDB::kRows]);
    db.set_CAN_Send29(i, static_cast<uint8_t>((i + variant) % 2));
    db.set_CAN_DLC(i, static_cast<uint8_t>((i + variant) % 9));
    for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n) {
      db.set_CAN_Data(n, i, static_cast<uint8_t>(variant * 64 + i * 8 + (n - 1)));
    }
    db.set_CAN_SendCycleTime(i, kPeriods[(i + variant) % CAN_SendDB::kRows]);
    db.set_CAN_SendCycleOperation(i, (i + variant) / 2 % 2);
  }
  return db;
}

CAN_SendDB ScribbledTable() {
  CAN_SendDB db;
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    db.set_CAN_ID(i, -7);
    db.set_CAN_Send29(i, 9);
    db.set_CAN_DLC(i, 99);
    for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n) db.set_CAN_Data(n, i, 0x5A);
    db.set_CAN_SendCycleTime(i, -1.5);
    db.set_CAN_SendCycleOperation(i, 7);
  }
  return db;
}

void ExpectSameRows(const CAN_SendDB& expected, const CAN_SendDB& actual) {
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    EXPECT_EQ(actual.CAN_Send29(i), expected.CAN_Send29(i));
    EXPECT_EQ(actual.CAN_ID(i), expected.CAN_ID(i));
    EXPECT_EQ(actual.CAN_DLC(i), expected.CAN_DLC(i));
    EXPECT_EQ(actual.DataBytes(i), expected.DataBytes(i));
    EXPECT_EQ(actual.CAN_SendCycleTime(i), expected.CAN_SendCycleTime(i));
    EXPECT_EQ(actual.CAN_SendCycleOperation(i), expected.CAN_SendCycleOperation(i));
  }
}

int RunPython(const std::string& script, const std::string& arguments) {
  const std::string command =
      "/usr/bin/python3 " TELPOD_SOURCE_DIR "/tests/xls/" + script + " " + arguments;
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace telpod::test
