#include "app/row_rules_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/row_rule_text.h"
#include "model/row_fields.h"
#include "model/row_rule_check.h"
#include "platform/translation.h"

namespace telpod {
namespace {

constexpr ChecksumAlgorithm kAlgorithms[] = {ChecksumAlgorithm::Xor, ChecksumAlgorithm::Sum,
                                             ChecksumAlgorithm::Crc8SaeJ1850,
                                             ChecksumAlgorithm::Crc8H2F};

// Controls without a caption of their own carry their name for GUI robots too.
template <typename W>
W* Named(W* w, const char* name) {
  w->setObjectName(QString::fromLatin1(name));
  w->setAccessibleName(QString::fromLatin1(name));
  return w;
}

QComboBox* ByteChoice(const char* name, int byte, QWidget* parent) {
  auto* box = Named(new QComboBox(parent), name);
  for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n) box->addItem(QStringLiteral("D%1").arg(n));
  box->setCurrentIndex(byte - 1);
  return box;
}

QSpinBox* Number(const char* name, int low, int high, int value, QWidget* parent) {
  auto* box = Named(new QSpinBox(parent), name);
  box->setRange(low, high);
  box->setValue(value);
  return box;
}

}  // namespace

RowRulesDialog::RowRulesDialog(int row, const RowRule& rule, int dlc, QWidget* parent)
    : QDialog(parent), row_(row), dlc_(dlc) {
  setObjectName(QStringLiteral("RowRulesDialog"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(tr("カウンターとチェックサム - 行 %1").arg(row + 1));

  Lbl_Refusal_ = new QLabel(this);
  Lbl_Refusal_->setObjectName(QStringLiteral("Lbl_Refusal"));
  Lbl_Refusal_->setWordWrap(true);
  Lbl_Refusal_->setStyleSheet(QStringLiteral("color: #C00000;"));
  auto* ok = new QPushButton(tr("OK"), this);
  ok->setObjectName(QStringLiteral("Bt_OK"));
  ok->setDefault(true);
  auto* remove = new QPushButton(tr("規則を削除"), this);
  remove->setObjectName(QStringLiteral("Bt_Remove"));
  auto* cancel = new QPushButton(tr("キャンセル"), this);
  cancel->setObjectName(QStringLiteral("Bt_Cancel"));
  connect(ok, &QPushButton::clicked, this, &RowRulesDialog::Bt_OK_Click);
  connect(remove, &QPushButton::clicked, this, &RowRulesDialog::Bt_Remove_Click);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(remove);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildCounter(rule.counter.value_or(CounterRule{})));
  layout->addWidget(BuildChecksum(rule.checksum.value_or(ChecksumRule{})));
  layout->addWidget(Lbl_Refusal_);
  layout->addLayout(buttons);
  GB_Counter_->setChecked(rule.counter.has_value());
  GB_Checksum_->setChecked(rule.checksum.has_value());
}

QGroupBox* RowRulesDialog::BuildCounter(const CounterRule& counter) {
  GB_Counter_ = new QGroupBox(tr("カウンター"), this);
  GB_Counter_->setObjectName(QStringLiteral("GB_Counter"));
  GB_Counter_->setCheckable(true);
  Cmb_CounterByte_ = ByteChoice("Cmb_CounterByte", counter.byte, GB_Counter_);
  Spn_FirstBit_ = Number("Spn_FirstBit", 0, 7, counter.first_bit, GB_Counter_);
  Spn_Bits_ = Number("Spn_Bits", 1, 8, counter.bits, GB_Counter_);
  Spn_Start_ = Number("Spn_Start", 0, 255, counter.start, GB_Counter_);
  Spn_Step_ = Number("Spn_Step", 1, 255, counter.step, GB_Counter_);
  Spn_Wrap_ = Number("Spn_Wrap", 0, 255, counter.wrap, GB_Counter_);
  // A new width of the counter offers the largest value it holds as the wrap.
  connect(Spn_Bits_, &QSpinBox::valueChanged, this,
          [this](int bits) { Spn_Wrap_->setValue((1 << bits) - 1); });
  auto* form = new QFormLayout(GB_Counter_);
  form->addRow(tr("データバイト"), Cmb_CounterByte_);
  form->addRow(tr("開始ビット（0 が最下位）"), Spn_FirstBit_);
  form->addRow(tr("ビット数"), Spn_Bits_);
  form->addRow(tr("開始値"), Spn_Start_);
  form->addRow(tr("増分"), Spn_Step_);
  form->addRow(tr("折り返し値（この値の次は開始値）"), Spn_Wrap_);
  return GB_Counter_;
}

QGroupBox* RowRulesDialog::BuildChecksum(const ChecksumRule& checksum) {
  GB_Checksum_ = new QGroupBox(tr("チェックサム"), this);
  GB_Checksum_->setObjectName(QStringLiteral("GB_Checksum"));
  GB_Checksum_->setCheckable(true);
  Cmb_ChecksumByte_ = ByteChoice("Cmb_ChecksumByte", checksum.byte, GB_Checksum_);
  Cmb_Algorithm_ = Named(new QComboBox(GB_Checksum_), "Cmb_Algorithm");
  for (ChecksumAlgorithm algorithm : kAlgorithms) {
    Cmb_Algorithm_->addItem(RowRuleText::AlgorithmName(algorithm));
  }
  Cmb_Algorithm_->setCurrentIndex(static_cast<int>(checksum.algorithm));

  CB_CoverOthers_ = new QCheckBox(tr("ほかのすべてのバイト"), GB_Checksum_);
  CB_CoverOthers_->setObjectName(QStringLiteral("CB_CoverOthers"));
  CB_CoverOthers_->setChecked(!checksum.covered);
  auto* covers = new QHBoxLayout;
  covers->addWidget(CB_CoverOthers_);
  for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n) {
    auto* box = new QCheckBox(QStringLiteral("D%1").arg(n), GB_Checksum_);
    box->setObjectName(QStringLiteral("CB_Cover_%1").arg(n));
    box->setChecked(checksum.covered && (*checksum.covered & (1u << (n - 1))));
    box->setEnabled(checksum.covered.has_value());
    connect(CB_CoverOthers_, &QCheckBox::toggled, box, &QWidget::setDisabled);
    CB_Cover_[static_cast<size_t>(n - 1)] = box;
    covers->addWidget(box);
  }

  CB_DataId_ = new QCheckBox(tr("データID（CRC のみ）"), GB_Checksum_);
  CB_DataId_->setObjectName(QStringLiteral("CB_DataId"));
  CB_DataId_->setChecked(checksum.data_id.has_value());
  TB_DataId_ = Named(new QLineEdit(GB_Checksum_), "TB_DataId");
  TB_DataId_->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9A-Fa-f]{1,4}")), TB_DataId_));
  TB_DataId_->setText(QString::fromStdString(FormatHex(checksum.data_id.value_or(0))));
  TB_DataId_->setEnabled(checksum.data_id.has_value());
  TB_DataId_->setMaximumWidth(
      TB_DataId_->fontMetrics().horizontalAdvance(QStringLiteral("FFFFFF")));
  connect(CB_DataId_, &QCheckBox::toggled, TB_DataId_, &QWidget::setEnabled);
  auto* data_id = new QHBoxLayout;
  data_id->addWidget(CB_DataId_);
  data_id->addWidget(new QLabel(QStringLiteral("0x"), GB_Checksum_));
  data_id->addWidget(TB_DataId_);
  data_id->addStretch(1);

  auto* form = new QFormLayout(GB_Checksum_);
  form->addRow(tr("データバイト"), Cmb_ChecksumByte_);
  form->addRow(tr("計算方法"), Cmb_Algorithm_);
  form->addRow(tr("対象のバイト"), covers);
  form->addRow(QString(), data_id);
  return GB_Checksum_;
}

std::optional<uint16_t> RowRulesDialog::DataId() const {
  if (!CB_DataId_->isChecked()) return std::nullopt;
  const auto id = ParseHex(TB_DataId_->text().toStdString());
  return static_cast<uint16_t>(id.value_or(0));
}

RowRule RowRulesDialog::Rule() const {
  RowRule rule;
  if (GB_Counter_->isChecked()) {
    rule.counter = CounterRule{Cmb_CounterByte_->currentIndex() + 1,
                               Spn_FirstBit_->value(),
                               Spn_Bits_->value(),
                               Spn_Start_->value(),
                               Spn_Step_->value(),
                               Spn_Wrap_->value()};
  }
  if (GB_Checksum_->isChecked()) {
    ChecksumRule checksum{Cmb_ChecksumByte_->currentIndex() + 1,
                          kAlgorithms[Cmb_Algorithm_->currentIndex()], std::nullopt, DataId()};
    if (!CB_CoverOthers_->isChecked()) {
      uint8_t mask = 0;
      for (size_t k = 0; k < CB_Cover_.size(); ++k) {
        if (CB_Cover_[k]->isChecked()) mask |= static_cast<uint8_t>(1u << k);
      }
      checksum.covered = mask;
    }
    rule.checksum = checksum;
  }
  return rule;
}

void RowRulesDialog::Bt_OK_Click() {
  const RowRule rule = Rule();
  if (const auto fault = FirstFault(rule, dlc_)) {
    Lbl_Refusal_->setText(QString::fromStdString(platform::Tr(FaultText(*fault))));
    return;
  }
  Choose(rule);
}

void RowRulesDialog::Bt_Remove_Click() {
  Choose(RowRule{});
}

void RowRulesDialog::Choose(const RowRule& rule) {
  emit ruleChosen(row_, rule);
  accept();
}

}  // namespace telpod
