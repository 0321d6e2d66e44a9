#pragma once

#include <QPointer>
#include <QWidget>
#include <array>

#include "model/bit_rate_table.h"
#include "model/elm327_info.h"

class QButtonGroup;
class QCheckBox;
class QPushButton;
class QRadioButton;

namespace telpod {

// The common settings dialog: the bit rate of every connection and the
// caution banner switch. It edits `device` in memory only; OK stores, Cancel
// and the close box do not. The window that opened it is disabled while it
// is open and enabled again however it closes.
class FormCommonSetting : public QWidget {
  Q_OBJECT

 public:
  FormCommonSetting(ELM327_Info& device, QWidget* main_window);

  // Stored values -> controls, and the caption.
  void read_setting();
  void Bt_OK_Click();
  void Bt_Cancell_Click();

  QRadioButton* RB_BitRate(int index) const { return RB_BitRate_[static_cast<size_t>(index)]; }
  QCheckBox* CB_ViewCaution() const { return CB_ViewCaution_; }

 signals:
  // OK has stored the choices in `device`.
  void stored();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  ELM327_Info& device_;
  QPointer<QWidget> main_window_;
  std::array<QRadioButton*, kBitRates.size()> RB_BitRate_{};
  QButtonGroup* group_;
  QCheckBox* CB_ViewCaution_;
};

}  // namespace telpod
