#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/form1.h"

namespace telpod {
namespace {

class RowEditorTest : public ::testing::Test {
 protected:
  RowEditorTest() { window.Form_Load_Initialize(); }

  QLineEdit* Box(const QString& name) {
    auto* box = window.findChild<QLineEdit*>(name);
    EXPECT_NE(box, nullptr) << name.toStdString();
    return box;
  }
  // Types `text` into a box of row `row` and copies the screen into the table.
  void Type(const char* base, int row, const QString& text) {
    Box(QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(row))->setText(text);
    window.Screen_To_SendDB();
  }

  Form1 window;
  CAN_SendDB& db = window.Tx_CANDATA;
};

TEST_F(RowEditorTest, IdentifierAcceptsOneTo1FFFFFFFInHexOnly) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  db.set_CAN_ID(0, 0x123);
  for (const Case& c : {Case{"", 0x123}, Case{"12G", 0x123}, Case{"0", 0x123},
                        Case{"20000000", 0x123}, Case{"1FFFFFFF", 0x1FFFFFFF}, Case{"8000", 32768},
                        Case{"FFFF", 65535}, Case{"7ff", 0x7FF}, Case{"800", 0x800}}) {
    Type("TB_ID", 0, QString::fromLatin1(c.text));
    EXPECT_EQ(db.CAN_ID(0), c.expected) << c.text;
  }
}

TEST_F(RowEditorTest, DlcAcceptsOneToEight) {
  db.set_CAN_DLC(1, 5);
  for (const char* bad : {"0", "9", "", "x", "-"}) {
    Type("TB_DLC", 1, QString::fromLatin1(bad));
    EXPECT_EQ(db.CAN_DLC(1), 5) << bad;
  }
  Type("TB_DLC", 1, QStringLiteral("1"));
  EXPECT_EQ(db.CAN_DLC(1), 1);
  Type("TB_DLC", 1, QStringLiteral("8"));
  EXPECT_EQ(db.CAN_DLC(1), 8);
}

TEST_F(RowEditorTest, PeriodAcceptsOneTo9999AndKeepsFractions) {
  db.set_CAN_SendCycleTime(2, 77.0);
  Type("TB_Time", 2, QStringLiteral("0"));
  EXPECT_EQ(db.CAN_SendCycleTime(2), 77.0);
  Type("TB_Time", 2, QStringLiteral("1"));
  EXPECT_EQ(db.CAN_SendCycleTime(2), 1.0);
  Type("TB_Time", 2, QStringLiteral("9999"));
  EXPECT_EQ(db.CAN_SendCycleTime(2), 9999.0);
  Type("TB_Time", 2, QStringLiteral("12.5"));
  EXPECT_EQ(db.CAN_SendCycleTime(2), 12.5);
  Type("TB_Time", 2, QStringLiteral("abc"));
  EXPECT_EQ(db.CAN_SendCycleTime(2), 12.5);
}

TEST_F(RowEditorTest, DataBytesTakeHexOfEitherCaseAndShowAsTwoUpperDigits) {
  Type("TB_Data3", 4, QStringLiteral("a"));
  EXPECT_EQ(db.CAN_Data3(4), 10);
  Type("TB_Data3", 4, QStringLiteral("zz"));
  EXPECT_EQ(db.CAN_Data3(4), 10);
  window.SendDB_To_Screen();
  EXPECT_EQ(Box(QStringLiteral("TB_Data3_4"))->text(), QStringLiteral("0A"));
}

TEST_F(RowEditorTest, TableIsShownInTheEditorsNotation) {
  db.set_CAN_ID(7, 2015);
  db.set_CAN_SendCycleTime(7, 12.5);
  db.set_CAN_DLC(7, 3);
  db.set_CAN_Data8(7, 255);
  db.set_CAN_Send29(7, 1);
  db.set_CAN_SendCycleOperation(7, 2);  // not 1: off to the send loop, so not ticked
  window.SendDB_To_Screen();
  EXPECT_EQ(Box(QStringLiteral("TB_ID_7"))->text(), QStringLiteral("7DF"));
  EXPECT_EQ(Box(QStringLiteral("TB_Time_7"))->text(), QStringLiteral("12.5"));
  EXPECT_EQ(Box(QStringLiteral("TB_DLC_7"))->text(), QStringLiteral("3"));
  EXPECT_EQ(Box(QStringLiteral("TB_Data8_7"))->text(), QStringLiteral("FF"));
  EXPECT_TRUE(window.findChild<QCheckBox*>(QStringLiteral("CB_Extension_7"))->isChecked());
  EXPECT_FALSE(window.findChild<QCheckBox*>(QStringLiteral("CB_Send_7"))->isChecked());
  window.Screen_To_SendDB();
  EXPECT_EQ(db.CAN_SendCycleOperation(7), 0);
}

TEST_F(RowEditorTest, SendButtonOnlySetsTheRowsRequest) {
  Type("TB_ID", 3, QStringLiteral("123"));
  db.set_CAN_ID(3, 0x55);  // the table differs from the screen now
  window.findChild<QPushButton*>(QStringLiteral("Bt_Send_3"))->click();
  EXPECT_EQ(db.CAN_SendOperation(3), 1);
  EXPECT_EQ(db.CAN_ID(3), 0x55);  // no copy from the screen
}

TEST_F(RowEditorTest, ControlsCarryTheirNamesLengthsAndAlignments) {
  for (int i = 0; i < 8; ++i) {
    auto* id = Box(QStringLiteral("TB_ID_%1").arg(i));
    EXPECT_EQ(id->maxLength(), 8);
    EXPECT_EQ(id->accessibleName(), id->objectName());
    EXPECT_TRUE(id->alignment() & Qt::AlignRight);
    EXPECT_EQ(Box(QStringLiteral("TB_DLC_%1").arg(i))->maxLength(), 1);
    EXPECT_TRUE(Box(QStringLiteral("TB_DLC_%1").arg(i))->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(Box(QStringLiteral("TB_Time_%1").arg(i))->maxLength(), 4);
    EXPECT_EQ(Box(QStringLiteral("TB_Data8_%1").arg(i))->maxLength(), 2);
    auto* frame = window.findChild<QWidget*>(QStringLiteral("FrameMsg_%1").arg(i));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->palette().color(QPalette::Window),
              i % 2 == 0 ? QColor(220, 233, 244) : QColor(235, 237, 253));
    EXPECT_EQ(window.findChild<QCheckBox*>(QStringLiteral("CB_Send_%1").arg(i))->text(),
              QStringLiteral("RT"));
  }
}

}  // namespace
}  // namespace telpod
