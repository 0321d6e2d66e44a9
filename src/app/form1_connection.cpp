// Connect, Disconnect and the window's own close.
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <utility>
#include <vector>

#include "app/connection_area.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/form_common_setting.h"
#include "app/replay_panel.h"
#include "app/row_rules_dialog.h"
#include "info/form_version.h"
#include "settings/file_save_system.h"
#include "settings/row_rules_file.h"

namespace telpod {

namespace {
constexpr const char* kIdleProtocol = "---";

// Answers of the question after a failed save, the safe one first.
constexpr size_t kKeepOpen = 0;
constexpr size_t kCloseWithoutSaving = 1;
}  // namespace

void Form1::Bt_Connect_Click() {
  area_->Bt_Connect->setEnabled(false);
  area_->Bt_Disconnect->setEnabled(true);
  menu_common_setting_->setEnabled(false);
  area_->Cmb_Serect_Device->setEnabled(false);
  if (device.t_ViewCaution() == 1) area_->Pic_Caution->show();
  Tx_CANDATA.Timer_Clear();
  area_->TB_Status->setText(tr("通信初期処理中"));
  area_->TB_Status->setFocus();
  TimerGetSetting_->start();
  // The connection runs its send loop right here, on this thread, and comes
  // back only when it has ended; the window's events are handled inside it.
  RunChosenConnection();
  replay_panel_->ConnectionEnded();
  RestoreIdleWindow();
  // Once this handler has returned, so that the close finds the window idle.
  if (std::exchange(close_after_connection_, false)) {
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

void Form1::RestoreIdleWindow() {
  TimerGetSetting_->stop();
  area_->TB_Protocol->setText(QString::fromLatin1(kIdleProtocol));
  area_->TB_Status->setFocus();
  area_->Bt_Connect->setEnabled(true);
  area_->Bt_Disconnect->setEnabled(false);
  menu_common_setting_->setEnabled(true);
  area_->Cmb_Serect_Device->setEnabled(true);
  area_->Pic_Caution->hide();
  EnableReplayMenu();
  ShowBusLoad();  // without the connection's figure
}

void Form1::LoopStarted(LiveConnection& live) {
  live_ = &live;
  replay_panel_->SetConnected(true);
  EnableReplayMenu();
}

void Form1::EnableReplayMenu() {
  menu_file_replay_->setEnabled(RxFlag == 1 && !replay_panel_->Playing());
}

void Form1::Bt_Disconnect_Click() {
  RxFlag = 0;
  area_->Bt_Disconnect->setEnabled(false);
}

void Form1::EndSession() {
  if (RxFlag != 1) {
    close();
    return;
  }
  close_after_connection_ = true;
  Bt_Disconnect_Click();
}

bool Form1::RunChosenConnection() {
  if (!FormBG_) return false;
  const auto status = FormBG_->Open_ChosenDevice(families_, Tx_CANDATA);
  if (!status) return false;  // no device chosen: the window comes back as it was
  // A failed Interface board close or open leaves its status text in the box.
  set_TB_Status(*status);
  return true;
}

void Form1::closeEvent(QCloseEvent* event) {
  bool closing = true;
  try {
    closing = Form_QueryUnload();
  } catch (...) {
    // Nothing is left to try: the window closes as it was asked to.
  }
  if (!closing) {
    event->ignore();
    return;
  }
  Form_Unload();
  event->accept();
}

bool Form1::Form_QueryUnload() {
  if (RxFlag == 1) return false;  // never while frames go out, and silently
  QCoreApplication::processEvents();
  Screen_To_SendDB();
  std::string reason;
  if (FileSaveSystem::Save_SettingFile(device, Tx_CANDATA, reason) != 0 &&
      !AskCloseWithoutSaving(FileSaveSystem::SettingFilePath(), reason, true)) {
    return false;
  }
  return SaveRules();
}

bool Form1::SaveRules() {
  if (!rules_changed_) return true;  // a file nobody changed stays as it is, damaged or not
  std::string reason;
  if (RowRulesFile::Save(rules, reason) == 0) {
    rules_changed_ = false;
    return true;
  }
  return AskCloseWithoutSaving(RowRulesFile::Path(), reason, false);
}

bool Form1::AskCloseWithoutSaving(const std::string& path, const std::string& reason,
                                  bool exportable) {
  std::string text =
      tr("%1 を保存できませんでした。").arg(QString::fromStdString(path)).toStdString() +
      platform::kCrLf + tr("理由：%1").arg(QString::fromStdString(reason)).toStdString();
  if (exportable) {
    text += platform::kCrLf +
            tr("ウィンドウを開いたままにすると、設定をエクスポートしてから閉じることができます。")
                .toStdString();
  }
  std::vector<std::string> choices(2);
  choices[kKeepOpen] = tr("開いたままにする").toStdString();
  choices[kCloseWithoutSaving] = tr("保存せずに閉じる").toStdString();
  return ports_.messages->Ask(text, device.Application_title(), platform::MessageIcon::Critical,
                              choices) == kCloseWithoutSaving;
}

void Form1::Form_Unload() {
  // The other windows go one after the other, each given time to close.
  for (QWidget* window : {static_cast<QWidget*>(Form2_), static_cast<QWidget*>(FormVersion_.data()),
                          static_cast<QWidget*>(FormCommonSetting_.data()),
                          static_cast<QWidget*>(RowRulesDialog_.data())}) {
    if (window) window->close();
    QCoreApplication::processEvents();
  }
}

}  // namespace telpod
