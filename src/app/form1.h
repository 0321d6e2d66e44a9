#pragma once

#include <QCursor>
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "app/form_common_setting.h"
#include "app/window_ports.h"
#include "devices/device_discovery.h"
#include "devices/family_objects.h"
#include "devices/family_set.h"
#include "devices/form_bg.h"
#include "devices/socketcan/socketcan_system.h"
#include "info/form_version.h"
#include "model/can_senddb.h"
#include "model/elm327_info.h"
#include "model/row_rule.h"
#include "platform/single_instance.h"
#include "send/connection_skeleton.h"
#include "send/replay_slot.h"
#include "send/zqt_clock.h"

class QAction;
class QTimer;

namespace telpod {

class ConnectionArea;
class Form2;
class MessageRows;
class QtEventPump;
class ReplayPanel;
class RowRulesDialog;

// The main window. It owns every object the parts of the program share and
// hands them to the routines that need them.
// The families' objects (CAN_u, CAN_d, IfCan_u, IfCan_d, kvCan_u, kvCan_d,
// sockCan_d) are its own as a FamilyObjects.
class Form1 : public QMainWindow,
              public FamilyObjects,
              private ConnectionView,
              private DiscoveryProgress {
  Q_OBJECT

 public:
  explicit Form1(WindowPorts ports = {}, QWidget* parent = nullptr);
  ~Form1() override;

  ELM327_Info device;
  CAN_SendDB Tx_CANDATA;
  // The rows' counters and checksums; a connection reads them at each frame.
  RowRules rules;
  int32_t RxFlag = 0;
  QCursor mouseCursor;

  // The single-instance rule, then start-up; false when the window has
  // unloaded itself (another instance runs, or a stop point was reached)
  // and the program is to end.
  bool Form_Load();
  bool App_Startup();
  // Presence of the clock library and the driver libraries: bit 0 CANUSB,
  // 1 Interface board, 2 Kvaser, 3 SocketCAN; -1 after a message.
  int32_t Check_DriverFiles();
  void Check_Excel_Install();
  void Cmb_Serect_Device_Click();
  // Resolves the chosen list entry and shows its information line.
  int32_t Show_SelectedDevice_Info();

  // Rows and buttons made ready after start-up.
  void Form_Load_Initialize();
  void SendDB_To_Screen();
  void Screen_To_SendDB();
  void Bt_Send_Click(int Index);
  // Opens row i's counter and checksum dialog, which does not block.
  void Bt_Rules_Click(int i);
  // Copies the screen into the send table and, while a connection runs,
  // shows its failed writes and bus state in TB_Status, and the bus load.
  void TimerGetSetting_Timer();
  // The bus load the rows on screen ask for at the chosen rate, as the next
  // screen copy hands them to the loop, and while connected the load the
  // device achieved.
  void ShowBusLoad();

  void Bt_Connect_Click();
  void Bt_Disconnect_Click();
  // The session asks the program to end: a running connection is ended
  // first, then the window closes as by its close box.
  void EndSession();

  void menu_file_import_Click();
  void menu_file_export_csv_Click();
  void menu_file_export_excel_Click();
  // While connected: a recorded log played beside the rows.
  void menu_file_replay_Click();
  void menu_common_setting_Click();
  void menu_help_version_Click();

  ConnectionArea* connectionArea() const { return area_; }
  ReplayPanel* replayPanel() const { return replay_panel_; }
  QTimer* TimerGetSetting() const { return TimerGetSetting_; }
  FormCommonSetting* formCommonSetting() const { return FormCommonSetting_; }
  FormVersion* formVersion() const { return FormVersion_; }
  Form2* form2() const { return Form2_; }
  RowRulesDialog* rowRulesDialog() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void set_TB_Status(const std::string& text) override;
  void set_TB_Protocol(const std::string& text) override;
  // From here on a log may be played beside the rows.
  void LoopStarted(LiveConnection& live) override;
  void LoopEnded(LiveConnection&) override { live_ = nullptr; }
  void ShowRunningStatus();
  // While frames go out, the rows' schedules are brought up to this moment
  // before the table changes, so that the change counts from now.
  void RowsAboutToChange();

  void BuildMenus();
  // Start-up progress: the bar to fraction p, then pending events.
  void Progress(double p) override;
  void Judging() override;
  // Pending events, then the entry into the device list.
  void AddEntry(const std::string& text) override;
  // A message that ends start-up: `first_line`, then the application ends.
  void ShowStopMessage(const platform::SourceText& first_line);
  std::optional<std::string> ChooseFile(const QString& title, const char* file_name,
                                        const QString& filter, bool save);
  std::optional<std::string> ChooseExportFile(const char* file_name, const QString& filter);
  // Runs the connection of the chosen family; false when none was chosen.
  bool RunChosenConnection();
  void RestoreIdleWindow();
  // The replay entry is there while connected and no log plays.
  void EnableReplayMenu();
  // The close request: refused while connected, else the rows are saved;
  // when that fails the user chooses between staying open and closing.
  bool Form_QueryUnload();
  // The rules file, when a rule was changed; false when the user keeps the
  // window open after it failed.
  bool SaveRules();
  bool AskCloseWithoutSaving(const std::string& path, const std::string& reason, bool exportable);
  // The rules file at start-up; a damaged one is said once.
  void LoadRules();
  void TakeRule(int row, const RowRule& rule);
  void Form_Unload();

  WindowPorts ports_;
  std::unique_ptr<platform::MessageBoxes> own_messages_;
  std::unique_ptr<platform::FileDialogs> own_dialogs_;
  std::unique_ptr<platform::UrlOpener> own_urls_;
  std::unique_ptr<QtEventPump> pump_;
  std::unique_ptr<SocketCanSystem> own_socketcan_;
  platform::SingleInstance single_instance_;
  // Every family over this window's objects, and their libraries.
  FamilySet families_;
  std::unique_ptr<ZqtClock> clock_;
  std::unique_ptr<FormBG> FormBG_;
  // The running connection while its loop runs, else null.
  LiveConnection* live_ = nullptr;
  // What the send loop plays beside the rows.
  ReplaySlot replay_;

  ConnectionArea* area_ = nullptr;
  MessageRows* rows_ = nullptr;
  ReplayPanel* replay_panel_ = nullptr;
  QTimer* TimerGetSetting_ = nullptr;
  QAction* menu_file_import_ = nullptr;
  QAction* menu_file_export_csv_ = nullptr;
  QAction* menu_file_export_excel_ = nullptr;
  QAction* menu_file_replay_ = nullptr;
  QAction* menu_file_close_ = nullptr;
  QAction* menu_common_setting_ = nullptr;
  QAction* menu_help_version_ = nullptr;

  Form2* Form2_ = nullptr;
  bool close_after_connection_ = false;
  // A rule changed since start-up: the rules file is written at close.
  bool rules_changed_ = false;
  QPointer<RowRulesDialog> RowRulesDialog_;
  QPointer<FormCommonSetting> FormCommonSetting_;
  QPointer<FormVersion> FormVersion_;
};

}  // namespace telpod
