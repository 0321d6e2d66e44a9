#include "app/row_text_box.h"

#include <algorithm>

namespace telpod {

RowTextBox::RowTextBox(const QString& design_text, int typing_limit, QWidget* parent)
    : QLineEdit(design_text, parent), typing_limit_(typing_limit) {
  setMaxLength(typing_limit_);
  connect(this, &QLineEdit::textEdited, this, &RowTextBox::Narrow);
}

void RowTextBox::ShowValue(const QString& text) {
  setMaxLength(std::max(typing_limit_, static_cast<int>(text.size())));
  setText(text);
}

void RowTextBox::Narrow() {
  const int fitting = std::max(typing_limit_, static_cast<int>(text().size()));
  if (fitting >= maxLength()) return;
  // Changing the length resets the cursor, the selection and the edited
  // mark; the user's place and the edit itself are kept.
  const int cursor = cursorPosition();
  setMaxLength(fitting);
  setCursorPosition(cursor);
  setModified(true);
}

}  // namespace telpod
