#pragma once

#include <QLineEdit>

namespace telpod {

// A text box of a message row. What the user types is held to the
// column's length, but a value the send table gives is shown whole however
// long it is (QLineEdit would cut it at the length, and the cut text would
// go back into the table): the box takes that value's length until an edit
// makes the text fit the column again.
class RowTextBox : public QLineEdit {
  Q_OBJECT

 public:
  RowTextBox(const QString& design_text, int typing_limit, QWidget* parent = nullptr);

  // Shows a value of the table, whole.
  void ShowValue(const QString& text);

 private:
  void Narrow();

  int typing_limit_;
};

}  // namespace telpod
