#pragma once

#include <QDialog>
#include <array>

#include "model/row_rule.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace telpod {

// Sets, changes or removes one row's counter and checksum. It does not
// block: frames keep going out while it is open. A rule that cannot be
// followed is refused with its reason in the dialog, which stays open.
class RowRulesDialog : public QDialog {
  Q_OBJECT

 public:
  // `dlc`: the row's length, which the rule's bytes must lie within.
  RowRulesDialog(int row, const RowRule& rule, int dlc, QWidget* parent);

  // The rule the controls describe.
  RowRule Rule() const;

  void Bt_OK_Click();
  void Bt_Remove_Click();

 signals:
  // The user's choice for the row: a rule, or none (removed).
  void ruleChosen(int row, const telpod::RowRule& rule);

 private:
  QGroupBox* BuildCounter(const CounterRule& counter);
  QGroupBox* BuildChecksum(const ChecksumRule& checksum);
  std::optional<uint16_t> DataId() const;
  void Choose(const RowRule& rule);

  int row_;
  int dlc_;
  QGroupBox* GB_Counter_;
  QComboBox* Cmb_CounterByte_;
  QSpinBox* Spn_FirstBit_;
  QSpinBox* Spn_Bits_;
  QSpinBox* Spn_Start_;
  QSpinBox* Spn_Step_;
  QSpinBox* Spn_Wrap_;
  QGroupBox* GB_Checksum_;
  QComboBox* Cmb_ChecksumByte_;
  QComboBox* Cmb_Algorithm_;
  QCheckBox* CB_CoverOthers_;
  std::array<QCheckBox*, CAN_SendDB::kDataBytes> CB_Cover_{};
  QCheckBox* CB_DataId_;
  QLineEdit* TB_DataId_;
  QLabel* Lbl_Refusal_;
};

}  // namespace telpod
