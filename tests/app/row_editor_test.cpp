#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <string>
#include <tuple>

#include "app/form1.h"
#include "keyboard.h"
#include "model/row_fields.h"

namespace telpod {
namespace {

using test::Key;
using test::TypeKeys;

class RowEditorTest : public ::testing::Test {
 protected:
  RowEditorTest() { window.Form_Load_Initialize(); }

  template <typename W = QLineEdit>
  W* Control(const char* base, int row) {
    auto* control = window.findChild<W*>(QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(row));
    EXPECT_NE(control, nullptr) << base << row;
    return control;
  }
  QString Shown(const char* base, int row) { return Control(base, row)->text(); }
  // Types `text` into a box of row 0 and copies the screen into the table.
  void Type(const char* base, const char* text) {
    Control(base, 0)->setText(QString::fromLatin1(text));
    window.Screen_To_SendDB();
  }

  Form1 window;
  CAN_SendDB& db = window.Tx_CANDATA;
};

// Typed texts one after the other and the value each leaves stored: a
// text outside the box's range leaves the value as it was.
TEST_F(RowEditorTest, EachBoxTakesOnlyItsRange) {
  using Typed = std::initializer_list<std::pair<const char*, double>>;
  const auto expect = [&](const char* box, Typed typed, const std::function<double()>& stored) {
    for (const auto& [text, value] : typed) {
      Type(box, text);
      EXPECT_EQ(stored(), value) << box << " " << text;
    }
  };
  const auto id = [&] { return db.CAN_ID(0); };
  expect("TB_ID", {{"1FFFFFFF", 0x1FFFFFFF}, {"", 0x1FFFFFFF}, {"12G", 0x1FFFFFFF}}, id);
  expect("TB_ID", {{"0", 0x1FFFFFFF}, {"20000000", 0x1FFFFFFF}, {"8000", 0x8000}}, id);
  expect("TB_ID", {{"7ff", 0x7FF}, {"800", 0x800}}, id);
  expect("TB_DLC", {{"1", 1}, {"0", 1}, {"9", 1}, {"", 1}, {"x", 1}, {"-", 1}, {"8", 8}},
         [&] { return db.CAN_DLC(0); });
  expect("TB_Time", {{"0", 100}, {"1", 1}, {"9999", 9999}, {"12.5", 12.5}, {"abc", 12.5}},
         [&] { return db.CAN_SendCycleTime(0); });
  expect("TB_Data3", {{"a", 10}, {"zz", 10}}, [&] { return db.CAN_Data3(0); });
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
// table as it was, the wide values included. Only a periodic switch of 1
// is on to the send loop, so only 1 shows ticked.
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
  db.set_CAN_SendCycleOperation(6, 2);
  window.SendDB_To_Screen();
  for (int16_t i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Shown("TB_Time", i), cases[i].shown_period);
    EXPECT_EQ(Shown("TB_ID", i), cases[i].shown_id);
    EXPECT_EQ(Shown("TB_DLC", i), QString::number(cases[i].dlc));
    EXPECT_EQ(Shown("TB_Data1", i), QStringLiteral("0%1").arg(i));
    EXPECT_EQ(Shown("TB_Data8", i), QStringLiteral("FF"));
    EXPECT_EQ(Control<QCheckBox>("CB_Extension", i)->isChecked(), cases[i].id > 0x7FF);
    EXPECT_EQ(Control<QCheckBox>("CB_Send", i)->isChecked(), i % 2 == 1);
  }
  for (int copy = 0; copy < 2; ++copy) {  // the timer copies again and again
    window.Screen_To_SendDB();
    for (int16_t i = 0; i < 8; ++i) EXPECT_EQ(Stored(db, i), Stored(table, i)) << i;
  }
}

// The column lengths still hold what the user types: a wide value from the
// table can be edited, not lengthened, and once it fits its column again
// the column's length is back; the user's place in the box stays.
TEST_F(RowEditorTest, TypingStaysWithinTheColumnLengths) {
  db.set_CAN_SendCycleTime(0, 12345);
  window.SendDB_To_Screen();
  QLineEdit* time = Control("TB_Time", 0);
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

  for (const auto& [box, typed, kept] :
       {std::tuple{"TB_DLC", "15", "1"}, std::tuple{"TB_ID", "1FFFFFFFF", "1FFFFFFF"}}) {
    Control(box, 1)->selectAll();
    TypeKeys(Control(box, 1), QString::fromLatin1(typed));
    EXPECT_EQ(Shown(box, 1), QString::fromLatin1(kept));
  }
  window.Screen_To_SendDB();
  EXPECT_EQ(db.CAN_SendCycleTime(0), 9876.0);
  EXPECT_EQ(db.CAN_DLC(1), 1);
}

TEST_F(RowEditorTest, SendButtonOnlySetsTheRowsRequest) {
  Control("TB_ID", 3)->setText(QStringLiteral("123"));
  window.findChild<QPushButton*>(QStringLiteral("Bt_Send_3"))->click();
  EXPECT_EQ(db.CAN_SendOperation(3), 1);
  EXPECT_EQ(db.CAN_ID(3), 1);  // no copy from the screen
}

// The other lengths show in the typing test.
TEST_F(RowEditorTest, ControlsCarryTheirNamesLengthsAndAlignments) {
  for (int i = 0; i < 8; ++i) {
    auto* id = Control("TB_ID", i);
    EXPECT_EQ(id->accessibleName(), id->objectName());
    EXPECT_TRUE(id->alignment() & Qt::AlignRight);
    EXPECT_TRUE(Control("TB_DLC", i)->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(Control("TB_Data8", i)->maxLength(), 2);
    EXPECT_EQ(Control<QWidget>("FrameMsg", i)->palette().color(QPalette::Window),
              i % 2 == 0 ? QColor(220, 233, 244) : QColor(235, 237, 253));
    EXPECT_EQ(Control<QCheckBox>("CB_Send", i)->text(), QStringLiteral("RT"));
  }
}

}  // namespace
}  // namespace telpod
