#include "app/form1.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/bus_load_label.h"
#include "app/connection_area.h"
#include "app/form2.h"
#include "app/form_common_setting.h"
#include "app/message_rows.h"
#include "app/qt_window_ports.h"
#include "app/replay_panel.h"
#include "app/row_rules_dialog.h"
#include "devices/socketcan/linux_socketcan_system.h"
#include "info/form_version.h"

namespace telpod {

namespace {
constexpr int kScreenCopyIntervalMs = 800;
}

Form1::Form1(WindowPorts ports, QWidget* parent)
    : QMainWindow(parent),
      ports_(ports),
      pump_(std::make_unique<QtEventPump>()),
      own_socketcan_(ports.socketcan ? nullptr : std::make_unique<LinuxSocketCanSystem>()),
      families_(device, *this, ports.socketcan ? *ports.socketcan : *own_socketcan_) {
  setObjectName(QStringLiteral("Form1"));
  if (!ports_.messages) {
    own_messages_ = std::make_unique<QtMessageBoxes>(this);
    ports_.messages = own_messages_.get();
  }
  if (!ports_.dialogs) {
    own_dialogs_ = std::make_unique<QtFileDialogs>(this);
    ports_.dialogs = own_dialogs_.get();
  }
  if (!ports_.urls) {
    own_urls_ = std::make_unique<QtUrlOpener>();
    ports_.urls = own_urls_.get();
  }

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  area_ = new ConnectionArea(central);
  replay_panel_ = new ReplayPanel(replay_, device, *ports_.messages, *ports_.dialogs, central);
  rows_ = new MessageRows(central);
  layout->addWidget(area_);
  layout->addWidget(replay_panel_);
  layout->addWidget(rows_);
  layout->addStretch(1);
  setCentralWidget(central);

  TimerGetSetting_ = new QTimer(this);
  TimerGetSetting_->setObjectName(QStringLiteral("TimerGetSetting"));
  TimerGetSetting_->setInterval(kScreenCopyIntervalMs);
  connect(TimerGetSetting_, &QTimer::timeout, this, &Form1::TimerGetSetting_Timer);

  connect(rows_, &MessageRows::sendClicked, this, &Form1::Bt_Send_Click);
  connect(rows_, &MessageRows::rulesClicked, this, &Form1::Bt_Rules_Click);
  connect(rows_, &MessageRows::edited, this, &Form1::ShowBusLoad);
  connect(area_->Cmb_Serect_Device, &QComboBox::activated, this, &Form1::Cmb_Serect_Device_Click);
  connect(area_->Bt_Connect, &QPushButton::clicked, this, &Form1::Bt_Connect_Click);
  connect(area_->Bt_Disconnect, &QPushButton::clicked, this, &Form1::Bt_Disconnect_Click);
  connect(replay_panel_, &ReplayPanel::playingChanged, this, &Form1::EnableReplayMenu);
  BuildMenus();
  setWindowTitle(QString::fromStdString(device.Application_title()));
}

Form1::~Form1() {
  // The dialogs are windows of their own, not children of this one.
  delete FormCommonSetting_.data();
  delete FormVersion_.data();
}

void Form1::BuildMenus() {
  auto action = [](QMenu* menu, const QString& caption, const char* name) {
    auto* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };
  QMenu* file = menuBar()->addMenu(tr("ファイル(&F)"));
  file->setObjectName(QStringLiteral("menu_file"));
  menu_file_import_ = action(file, tr("設定をインポート(&i)"), "menu_file_import");
  QMenu* export_menu = file->addMenu(tr("設定をエクスポート"));
  export_menu->setObjectName(QStringLiteral("menu_file_export"));
  menu_file_export_csv_ = action(export_menu, tr("csv形式(&C)"), "menu_file_export_csv");
  menu_file_export_excel_ = action(export_menu, tr("Excel形式(&E)"), "menu_file_export_excel");
  menu_file_replay_ = action(file, tr("ログを再生(&P)"), "menu_file_replay");
  menu_file_replay_->setEnabled(false);
  menu_file_close_ = action(file, tr("終了(&X)"), "menu_file_close");
  QMenu* tools = menuBar()->addMenu(tr("ツール(&T)"));
  tools->setObjectName(QStringLiteral("menu_tool"));
  menu_common_setting_ = action(tools, tr("共通設定(&S)"), "menu_common_setting");
  QMenu* help = menuBar()->addMenu(tr("ヘルプ(&H)"));
  help->setObjectName(QStringLiteral("menu_help"));
  menu_help_version_ = action(help, tr("バージョン情報(&A)"), "menu_help_version");

  connect(menu_file_close_, &QAction::triggered, this, &QWidget::close);
  connect(menu_file_import_, &QAction::triggered, this, &Form1::menu_file_import_Click);
  connect(menu_file_export_csv_, &QAction::triggered, this, &Form1::menu_file_export_csv_Click);
  connect(menu_file_export_excel_, &QAction::triggered, this, &Form1::menu_file_export_excel_Click);
  connect(menu_file_replay_, &QAction::triggered, this, &Form1::menu_file_replay_Click);
  connect(menu_common_setting_, &QAction::triggered, this, &Form1::menu_common_setting_Click);
  connect(menu_help_version_, &QAction::triggered, this, &Form1::menu_help_version_Click);
}

void Form1::menu_common_setting_Click() {
  FormCommonSetting_ = new FormCommonSetting(device, this);
  connect(FormCommonSetting_, &FormCommonSetting::stored, this, &Form1::ShowBusLoad);
  FormCommonSetting_->show();
  setEnabled(false);  // the dialog enables the window again when it closes
}

void Form1::menu_help_version_Click() {
  if (!FormVersion_) FormVersion_ = new FormVersion(device, *ports_.urls);
  FormVersion_->show();
  FormVersion_->raise();
}

void Form1::Form_Load_Initialize() {
  area_->Bt_Connect->setEnabled(true);
  area_->Bt_Disconnect->setEnabled(false);
  area_->TB_Protocol->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  menu_file_export_excel_->setEnabled(device.ExcelInstallCheck() >= 1);
  SendDB_To_Screen();
  rows_->ApplyRowStyles();
  rows_->ShowRules(rules);
  mouseCursor = QCursor(Qt::PointingHandCursor);
}

void Form1::SendDB_To_Screen() {
  rows_->SendDB_To_Screen(Tx_CANDATA);
  ShowBusLoad();
}

void Form1::Screen_To_SendDB() {
  RowsAboutToChange();
  rows_->Screen_To_SendDB(Tx_CANDATA);
}

void Form1::RowsAboutToChange() {
  if (live_ != nullptr) live_->BringRowsUpToDate();
}

void Form1::Bt_Send_Click(int Index) {
  Tx_CANDATA.set_CAN_SendOperation(static_cast<int16_t>(Index), 1);
}

void Form1::Bt_Rules_Click(int i) {
  const auto row = static_cast<int16_t>(i);
  if (RowRulesDialog_) RowRulesDialog_->close();  // one row at a time
  RowRulesDialog_ = new RowRulesDialog(i, rules.Of(row), rows_->Dlc(row, Tx_CANDATA), this);
  connect(RowRulesDialog_, &RowRulesDialog::ruleChosen, this, &Form1::TakeRule);
  RowRulesDialog_->open();
}

RowRulesDialog* Form1::rowRulesDialog() const {
  return RowRulesDialog_.data();
}

void Form1::TakeRule(int row, const RowRule& rule) {
  rules.Set(static_cast<int16_t>(row), rule);
  rules_changed_ = true;
  rows_->ShowRules(rules);
}

void Form1::TimerGetSetting_Timer() {
  Screen_To_SendDB();
  ShowRunningStatus();
  ShowBusLoad();
}

void Form1::ShowBusLoad() {
  const auto rate = FindBitRate(device.t_bitRate());
  if (!rate) {
    area_->Lb_BusLoad->clear();  // no rate, no load
    return;
  }
  // What the next screen copy would make of the table, left as it is.
  CAN_SendDB asked = Tx_CANDATA;
  rows_->Screen_To_SendDB(asked);
  std::optional<double> achieved;
  if (live_ != nullptr) {
    achieved = LoadPercent(live_->TakenBitsPerSecond(), rate->bits_per_second);
  }
  area_->Lb_BusLoad->Show(EstimateBusLoad(asked, rate->bits_per_second), achieved);
}

void Form1::ShowRunningStatus() {
  if (live_ == nullptr) return;
  try {
    set_TB_Status(live_->StatusText());
  } catch (...) {
    // The box keeps its last text; the next tick tries again.
  }
}

void Form1::set_TB_Status(const std::string& text) {
  area_->TB_Status->setText(QString::fromStdString(text));
}

void Form1::set_TB_Protocol(const std::string& text) {
  area_->TB_Protocol->setText(QString::fromStdString(text));
}

}  // namespace telpod
