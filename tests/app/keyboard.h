#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QString>

namespace telpod::test {

// Keys typed into a box, as the keyboard would send them.
inline void Key(QWidget* box, int key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(box, &press);
}

inline void TypeKeys(QWidget* box, const QString& text) {
  for (QChar c : text) Key(box, c.unicode(), QString(c));
}

// The box's text replaced by typing over all of it.
inline void Retype(QLineEdit* box, const QString& text) {
  box->selectAll();
  TypeKeys(box, text);
}

}  // namespace telpod::test
