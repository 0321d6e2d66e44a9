#include "app/form1.h"

namespace telpod {

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromStdString(device.Application_title()));
}

}  // namespace telpod
