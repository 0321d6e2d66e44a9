#pragma once

#include <QWidget>
#include <array>

#include "model/can_senddb.h"
#include "model/row_rule.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace telpod {

class RowTextBox;

// The eight message rows of the main window: a view of the send table,
// copied in and out only at the moments the window chooses.
class MessageRows : public QWidget {
  Q_OBJECT

 public:
  explicit MessageRows(QWidget* parent = nullptr);

  // Table -> controls, every row; each value shown whole, so that it goes
  // back into the table unchanged until the user edits its box.
  void SendDB_To_Screen(const CAN_SendDB& db);
  // Controls -> table, every row; a field whose text is not valid leaves
  // the table's value as it was.
  void Screen_To_SendDB(CAN_SendDB& db) const;
  // Alignments, heights and colours of the rows.
  void ApplyRowStyles();
  // Marks each row that has a rule, its tooltip saying what the rule does.
  void ShowRules(const RowRules& rules);
  // The DLC row i's box holds, or the table's while the box holds none.
  int Dlc(int16_t i, const CAN_SendDB& db) const;

 signals:
  void sendClicked(int row);
  void rulesClicked(int row);
  // The user typed in a box or switched a check box of a row.
  void edited();

 private:
  struct Row {
    QFrame* FrameMsg;
    QCheckBox* CB_Extension;
    RowTextBox* TB_ID;
    RowTextBox* TB_DLC;
    std::array<RowTextBox*, CAN_SendDB::kDataBytes> TB_Data;
    QPushButton* Bt_Send;
    RowTextBox* TB_Time;
    QCheckBox* CB_Send;
    QToolButton* Bt_Rules;
    QLabel* Lbl_Rules;
  };

  QWidget* BuildHeader();
  Row BuildRow(int i);

  std::array<Row, CAN_SendDB::kRows> rows_{};
};

}  // namespace telpod
