#include "app/form_common_setting.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWindow>

#include "app/bit_rate_legend.h"
#include "devices/family_registry.h"

namespace telpod {

namespace {

// Left column top to bottom, then the right column.
constexpr std::array<int, 5> kLeftColumn{0, 1, 2, 3, 8};
constexpr std::array<int, 4> kRightColumn{4, 5, 6, 7};

void Colour(QWidget* w, const QColor& colour) {
  QPalette palette = w->palette();
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::ButtonText, colour);
  w->setPalette(palette);
}

// The colour legend, from the rates the families themselves declare, so
// that it names the families that really offer each rate.
void AddLegend(QVBoxLayout* layout, QWidget* dialog) {
  int n = 0;
  for (const LegendLine& line : BitRateLegend()) {
    auto* label = new QLabel(line.text, dialog);
    label->setObjectName(QStringLiteral("Lb_BitRateLegend_%1").arg(n++));
    Colour(label, line.colour);
    layout->addWidget(label);
  }
}

}  // namespace

FormCommonSetting::FormCommonSetting(ELM327_Info& device, QWidget* main_window)
    : QWidget(nullptr, Qt::Dialog), device_(device), main_window_(main_window) {
  // A window of its own rather than a child: disabling the main window must
  // not disable the dialog that stands over it.
  setObjectName(QStringLiteral("FormCommonSetting"));
  setAttribute(Qt::WA_DeleteOnClose);

  auto* frame = new QGroupBox(tr("通信速度"), this);
  group_ = new QButtonGroup(this);
  for (const BitRate& rate : OfferedBitRates()) {
    auto* button = new QRadioButton(QString::fromUtf8(rate.label), frame);
    button->setObjectName(QStringLiteral("RB_BitRate_%1").arg(rate.index));
    if (const auto colour = CaptionColour(rate)) Colour(button, *colour);
    group_->addButton(button, rate.index);
    RB_BitRate_[static_cast<size_t>(rate.index)] = button;
  }
  auto* columns = new QGridLayout(frame);
  for (size_t row = 0; row < kLeftColumn.size(); ++row) {
    columns->addWidget(RB_BitRate(kLeftColumn[row]), static_cast<int>(row), 0);
  }
  for (size_t row = 0; row < kRightColumn.size(); ++row) {
    columns->addWidget(RB_BitRate(kRightColumn[row]), static_cast<int>(row), 1);
  }

  CB_ViewCaution_ = new QCheckBox(tr("接続中に警告表示をする"), this);
  CB_ViewCaution_->setObjectName(QStringLiteral("CB_ViewCaution"));
  auto* ok = new QPushButton(tr("OK"), this);
  ok->setObjectName(QStringLiteral("Bt_OK"));
  auto* cancel = new QPushButton(tr("キャンセル"), this);
  cancel->setObjectName(QStringLiteral("Bt_Cancell"));
  connect(ok, &QPushButton::clicked, this, &FormCommonSetting::Bt_OK_Click);
  connect(cancel, &QPushButton::clicked, this, &FormCommonSetting::Bt_Cancell_Click);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  AddLegend(layout, this);
  layout->addWidget(CB_ViewCaution_);
  layout->addLayout(buttons);
  read_setting();
}

void FormCommonSetting::read_setting() {
  setWindowTitle(QString::fromStdString(device_.Application_title()) + tr("　　- 共通設定 -"));
  const int32_t index = device_.t_bitRate();
  if (FindBitRate(index)) {
    RB_BitRate(index)->setChecked(true);
  } else {
    // A stored value outside the table shows as no selection.
    group_->setExclusive(false);
    for (auto* button : RB_BitRate_) button->setChecked(false);
    group_->setExclusive(true);
  }
  if (device_.t_ViewCaution() == 1) CB_ViewCaution_->setChecked(true);
  if (device_.t_ViewCaution() == 0) CB_ViewCaution_->setChecked(false);
}

void FormCommonSetting::Bt_OK_Click() {
  for (auto* button : RB_BitRate_) {
    if (button->isChecked()) {
      device_.set_t_bitRate(group_->id(button));
      break;
    }
  }
  device_.set_t_ViewCaution(CB_ViewCaution_->isChecked() ? 1 : 0);
  emit stored();
  close();
}

void FormCommonSetting::Bt_Cancell_Click() {
  close();
}

void FormCommonSetting::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  read_setting();
}

void FormCommonSetting::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Restoring after a minimise fills the controls again, like a resize.
  if (event->type() == QEvent::WindowStateChange && !isMinimized()) read_setting();
}

void FormCommonSetting::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (main_window_ && windowHandle() && main_window_->windowHandle()) {
    windowHandle()->setTransientParent(main_window_->windowHandle());
  }
}

void FormCommonSetting::closeEvent(QCloseEvent* event) {
  if (main_window_) main_window_->setEnabled(true);
  event->accept();
}

}  // namespace telpod
