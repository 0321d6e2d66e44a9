#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "app/form1.h"
#include "model/row_fields.h"

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

// Every stored field of row i, one text, for comparing tables.
std::string Stored(const CAN_SendDB& db, int16_t i) {
  std::string text = std::to_string(db.CAN_SendCycleOperation(i)) + " " +
                     std::to_string(db.CAN_Send29(i)) + " " +
                     FormatDecimal(db.CAN_SendCycleTime(i)) + " " + std::to_string(db.CAN_ID(i)) +
                     " " + std::to_string(db.CAN_DLC(i));
  for (uint8_t byte : db.DataBytes(i)) text += " " + std::to_string(byte);
  return text;
}

// Values the files bring (a CSV period has no upper limit, the workbook
// keeps fractions, a CSV takes identifier and DLC 0) show whole, however
// much longer than their box's typing length, and the copy back leaves the
// table as it was, the wide values included.
TEST_F(RowEditorTest, TableValuesShowWholeAndGoBackUnchanged) {
  struct Case {
    double period;
    int32_t id;
    uint8_t dlc;
    const char* shown_period;
    const char* shown_id;
  };
  const Case cases[] = {{10000, 0x7DF, 8, "10000", "7DF"},
                        {12345, 0x1FFFFFFF, 8, "12345", "1FFFFFFF"},
                        {12.25, 0x18DAF110, 0, "12.25", "18DAF110"},
                        {123.5, 0, 3, "123.5", "0"},
                        {2147483647.75, 0x800, 8, "2147483647.75", "800"},
                        {9999, 1, 1, "9999", "1"},
                        {1, 0x7FF, 8, "1", "7FF"},
                        {1e20, 0x123, 8, "100000000000000000000", "123"}};
  CAN_SendDB table;
  for (int16_t i = 0; i < 8; ++i) {
    const Case& c = cases[i];
    table.set_CAN_SendCycleTime(i, c.period);
    table.set_CAN_ID(i, c.id);
    table.set_CAN_DLC(i, c.dlc);
    table.set_CAN_Send29(i, c.id > 0x7FF);
    table.set_CAN_SendCycleOperation(i, i % 2);
    for (int n = 1; n <= 8; ++n) table.set_CAN_Data(n, i, n == 8 ? 0xFF : static_cast<uint8_t>(i));
  }
  db = table;
  window.SendDB_To_Screen();
  for (int16_t i = 0; i < 8; ++i) {
    EXPECT_EQ(Box(QStringLiteral("TB_Time_%1").arg(i))->text(), cases[i].shown_period);
    EXPECT_EQ(Box(QStringLiteral("TB_ID_%1").arg(i))->text(), cases[i].shown_id);
    EXPECT_EQ(Box(QStringLiteral("TB_DLC_%1").arg(i))->text(), QString::number(cases[i].dlc));
    EXPECT_EQ(Box(QStringLiteral("TB_Data8_%1").arg(i))->text(), QStringLiteral("FF"));
  }
  for (int copy = 0; copy < 2; ++copy) {  // the timer copies again and again
    window.Screen_To_SendDB();
    for (int16_t i = 0; i < 8; ++i) EXPECT_EQ(Stored(db, i), Stored(table, i)) << i;
  }
}

// A key typed into a box, as the keyboard would send it.
void Key(QWidget* box, int key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(box, &press);
}

void TypeKeys(QWidget* box, const QString& text) {
  for (QChar c : text) Key(box, c.unicode(), QString(c));
}

// The column lengths still hold what the user types: a wide value from the
// table can be edited, not lengthened, and once it fits its column again
// the column's length is back; the user's place in the box stays.
TEST_F(RowEditorTest, TypingStaysWithinTheColumnLengths) {
  db.set_CAN_SendCycleTime(0, 12345);
  db.set_CAN_DLC(1, 8);
  window.SendDB_To_Screen();
  QLineEdit* time = Box(QStringLiteral("TB_Time_0"));
  time->setFocus();
  time->end(false);
  TypeKeys(time, QStringLiteral("6"));
  EXPECT_EQ(time->text(), QStringLiteral("12345"));
  time->setCursorPosition(2);
  Key(time, Qt::Key_Delete);
  EXPECT_EQ(time->text(), QStringLiteral("1245"));
  EXPECT_EQ(time->cursorPosition(), 2);
  EXPECT_TRUE(time->isModified());
  TypeKeys(time, QStringLiteral("9"));
  EXPECT_EQ(time->text(), QStringLiteral("1245"));  // four characters again
  time->selectAll();
  TypeKeys(time, QStringLiteral("987654"));
  EXPECT_EQ(time->text(), QStringLiteral("9876"));

  QLineEdit* dlc = Box(QStringLiteral("TB_DLC_1"));
  dlc->selectAll();
  TypeKeys(dlc, QStringLiteral("15"));
  EXPECT_EQ(dlc->text(), QStringLiteral("1"));
  QLineEdit* id = Box(QStringLiteral("TB_ID_1"));
  id->selectAll();
  TypeKeys(id, QStringLiteral("1FFFFFFFF"));
  EXPECT_EQ(id->text(), QStringLiteral("1FFFFFFF"));
  window.Screen_To_SendDB();
  EXPECT_EQ(db.CAN_SendCycleTime(0), 9876.0);
  EXPECT_EQ(db.CAN_DLC(1), 1);
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
