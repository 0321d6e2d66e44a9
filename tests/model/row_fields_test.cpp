#include "model/row_fields.h"

#include <gtest/gtest.h>

// The column rules are tested through the CSV reader; these are the number
// forms it does not reach.
namespace telpod {
namespace {

TEST(RowFields, PeriodsPrintInTheirShortestFixedForm) {
  EXPECT_EQ(FormatDecimal(0.3), "0.3");
  EXPECT_EQ(FormatDecimal(1e-7), "0.0000001");
}

TEST(RowFields, HexTakesOneToEightDigitsAndNothingElse) {
  for (const char* bad : {"", "0x10", "1G", "123456789", " 1", "-1"}) {
    EXPECT_FALSE(ParseHex(bad)) << bad;
  }
}

TEST(RowFields, DecimalsTakeSignExponentAndBlanksAndStayIn32BitsWhenWhole) {
  EXPECT_EQ(ParseDecimal(" 12.5 "), 12.5);
  EXPECT_EQ(ParseWholeNumber("+7"), 7);
  EXPECT_EQ(ParseWholeNumber("1e3"), 1000);
  EXPECT_EQ(ParseWholeNumber("2147483647"), 2147483647);
  for (const char* bad : {"", "X", "1.2.3", "&H10", "1e", ".", "nan", "inf", "2147483648"}) {
    EXPECT_FALSE(ParseWholeNumber(bad)) << bad;
  }
}

}  // namespace
}  // namespace telpod
