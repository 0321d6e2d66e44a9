#include "settings/row_fields.h"

#include <gtest/gtest.h>

namespace telpod {
namespace {

TEST(RowFields, FormatsAsTheScreenAndFilesShowThem) {
  EXPECT_EQ(FormatHex(2015), "7DF");
  EXPECT_EQ(FormatHex(0x18DAF110), "18DAF110");
  EXPECT_EQ(FormatByteHex(10), "0A");
  EXPECT_EQ(FormatByteHex(255), "FF");
  EXPECT_EQ(FormatDecimal(9000.0), "9000");
  EXPECT_EQ(FormatDecimal(12.5), "12.5");
  EXPECT_EQ(FormatDecimal(0.3), "0.3");
  EXPECT_EQ(FormatDecimal(100000.0), "100000");
  EXPECT_EQ(FormatDecimal(1e-7), "0.0000001");
}

TEST(RowFields, HexTakesOneToEightDigitsOfEitherCaseOnly) {
  EXPECT_EQ(ParseHex("8000"), 0x8000u);
  EXPECT_EQ(ParseHex("ff"), 0xFFu);
  EXPECT_EQ(ParseHex("FFFFFFFF"), 0xFFFFFFFFu);
  for (const char* bad : {"", "0x10", "1G", "123456789", " 1", "-1"}) {
    EXPECT_FALSE(ParseHex(bad)) << bad;
  }
}

TEST(RowFields, WholeNumbersRoundHalvesToEvenAndStayIn32Bits) {
  EXPECT_EQ(ParseWholeNumber("250.5"), 250);
  EXPECT_EQ(ParseWholeNumber("251.5"), 252);
  EXPECT_EQ(ParseWholeNumber("-5"), -5);
  EXPECT_EQ(ParseWholeNumber("+7"), 7);
  EXPECT_EQ(ParseWholeNumber("1e3"), 1000);
  EXPECT_EQ(ParseWholeNumber("2147483647"), 2147483647);
  EXPECT_FALSE(ParseWholeNumber("2147483648"));
  for (const char* bad : {"", "X", "1.2.3", "&H10", "1e", ".", "nan", "inf"}) {
    EXPECT_FALSE(ParseWholeNumber(bad)) << bad;
  }
  EXPECT_EQ(ParseDecimal(" 12.5 "), 12.5);
}

TEST(RowFields, InvalidOrOutOfRangeColumnsTakeTheirDefaults) {
  CAN_SendDB db;
  StoreRowColumn(db, 2, RowColumn::ID, "20000000");
  EXPECT_EQ(db.CAN_ID(2), 1);
  StoreRowColumn(db, 2, RowColumn::ID, "1FFFFFFF");
  EXPECT_EQ(db.CAN_ID(2), 0x1FFFFFFF);
  StoreRowColumn(db, 2, RowColumn::ID, "FFFFFFFF");
  EXPECT_EQ(db.CAN_ID(2), 1);
  StoreRowColumn(db, 2, RowColumn::DLC, "9");
  EXPECT_EQ(db.CAN_DLC(2), 8);
  StoreRowColumn(db, 2, RowColumn::DLC, "0");
  EXPECT_EQ(db.CAN_DLC(2), 0);
  StoreRowColumn(db, 2, RowColumn::D3, "100");
  EXPECT_EQ(db.CAN_Data3(2), 0);
  StoreRowColumn(db, 2, RowColumn::D8, "a5");
  EXPECT_EQ(db.CAN_Data8(2), 0xA5);
  StoreRowColumn(db, 2, RowColumn::Period, "-5");
  EXPECT_EQ(db.CAN_SendCycleTime(2), 100.0);
  StoreRowColumn(db, 2, RowColumn::Period, "251.5");
  EXPECT_EQ(db.CAN_SendCycleTime(2), 252.0);
  StoreRowColumn(db, 2, RowColumn::E, "2");
  EXPECT_EQ(db.CAN_Send29(2), 0);
  StoreRowColumn(db, 2, RowColumn::Periodic, "1");
  EXPECT_EQ(db.CAN_SendCycleOperation(2), 1);
}

}  // namespace
}  // namespace telpod
