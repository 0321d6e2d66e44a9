#include "app/form2.h"

#include <QLabel>
#include <QVBoxLayout>
#include <cmath>

namespace telpod {

namespace {
constexpr int kTrackWidth = 260;
constexpr int kTrackHeight = 14;
}  // namespace

Form2::Form2(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint) {
  setObjectName(QStringLiteral("Form2"));
  Lb_msg_ = new QLabel(this);
  Lb_msg_->setObjectName(QStringLiteral("Lb_msg"));
  track_ = new QWidget(this);
  track_->setObjectName(QStringLiteral("Pic_ProgressBar_0"));
  track_->setAccessibleName(track_->objectName());
  track_->setFixedSize(kTrackWidth, kTrackHeight);
  track_->setStyleSheet(QStringLiteral("background-color: rgb(40, 110, 200);"));
  cover_ = new QWidget(track_);
  cover_->setObjectName(QStringLiteral("Pic_ProgressBar_1"));
  cover_->setAccessibleName(cover_->objectName());
  cover_->setGeometry(0, 0, kTrackWidth, kTrackHeight);
  cover_->setStyleSheet(QStringLiteral("background-color: rgb(225, 225, 225);"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Lb_msg_);
  layout->addWidget(track_);
  setFixedSize(sizeHint().expandedTo(QSize(kTrackWidth + 24, 70)));
}

void Form2::SetProgress(double p) {
  cover_->move(static_cast<int>(std::lround(track_->width() * p)), 0);
}

void Form2::SetMessage(const QString& text) {
  Lb_msg_->setText(text);
}

int Form2::ProgressLeft() const {
  return cover_->x();
}

}  // namespace telpod
