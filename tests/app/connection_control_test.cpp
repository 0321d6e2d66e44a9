#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "app/connection_area.h"
#include "model/row_fields.h"
#include "platform/text_codec.h"
#include "settings/csv_export.h"
#include "settings/csv_format.h"
#include "settings/file_save_system.h"
#include "started_window.h"

namespace telpod {
namespace {

using platform::kCanlibLibraryFile;
using platform::kCanusbLibraryFile;
using platform::kIfCanLibraryFile;

class ConnectionControlTest : public test::StartedWindow {
 protected:
  ConnectionControlTest() { socketcan.raw_sockets = false; }

  ConnectionArea& Area() { return *window->connectionArea(); }
  QLineEdit* Box(const QString& name) { return window->findChild<QLineEdit*>(name); }
  QAction* Action(const char* name) {
    return window->findChild<QAction*>(QString::fromLatin1(name));
  }
  // Runs `step` once the send loop is running, from inside its event pump.
  void During(int ms, std::function<void()> step) { QTimer::singleShot(ms, window.get(), step); }

  void ExpectIdle() {
    EXPECT_EQ(window->RxFlag, 0);
    EXPECT_TRUE(Area().Bt_Connect->isEnabled());
    EXPECT_FALSE(Area().Bt_Disconnect->isEnabled());
    EXPECT_TRUE(Area().Cmb_Serect_Device->isEnabled());
    EXPECT_TRUE(Action("menu_common_setting")->isEnabled());
    EXPECT_FALSE(window->TimerGetSetting()->isActive());
    EXPECT_FALSE(Area().Pic_Caution->isVisibleTo(window.get()));
    EXPECT_EQ(Area().TB_Protocol->text(), QStringLiteral("---"));
  }
  std::vector<cansim_frame> FramesOfRow(test::SimControl& sim, uint32_t id) {
    std::vector<cansim_frame> out;
    for (const auto& f : sim.Frames()) {
      if (f.id == id) out.push_back(f);
    }
    return out;
  }
};

TEST_F(ConnectionControlTest, AWholeConnectionFromTheWindow) {
  InstallClock();
  auto& sim = InstallDriver(kCanlibLibraryFile, "kvaser name=\"Kvaser A\"\n");
  ASSERT_TRUE(Start());
  window->show();
  Box("TB_ID_0")->setText(QStringLiteral("7DF"));
  window->findChild<QCheckBox*>(QStringLiteral("CB_Send_0"))->setChecked(true);
  Box("TB_ID_3")->setText(QStringLiteral("18DAF110"));
  window->findChild<QCheckBox*>(QStringLiteral("CB_Extension_3"))->setChecked(true);
  Box("TB_Time_3")->setText(QStringLiteral("50"));
  window->findChild<QCheckBox*>(QStringLiteral("CB_Send_3"))->setChecked(true);
  window->Screen_To_SendDB();  // what the timer would have copied before Connect
  window->Bt_Send_Click(5);    // a press while idle is dropped by Connect

  bool checked_running = false;
  During(100, [&] {
    checked_running = true;
    EXPECT_EQ(window->RxFlag, 1);
    EXPECT_FALSE(Area().Bt_Connect->isEnabled());
    EXPECT_TRUE(Area().Bt_Disconnect->isEnabled());
    EXPECT_FALSE(Area().Cmb_Serect_Device->isEnabled());
    EXPECT_FALSE(Action("menu_common_setting")->isEnabled());
    EXPECT_TRUE(window->TimerGetSetting()->isActive());
    EXPECT_TRUE(Area().Pic_Caution->isVisibleTo(window.get()));
    EXPECT_EQ(Area().TB_Status->text(), QStringLiteral("通信中"));
    EXPECT_EQ(Area().TB_Protocol->text(), QStringLiteral("500k bps"));
    window->close();  // refused while frames go out
    EXPECT_TRUE(window->isVisible());
    Box("TB_Data1_6")->setText(QStringLiteral("5A"));
    window->findChild<QPushButton*>(QStringLiteral("Bt_Send_6"))->click();
    Box("TB_ID_0")->setText(QStringLiteral("123"));  // reaches the table at the next tick
  });
  During(1100, [&] {
    EXPECT_EQ(window->Tx_CANDATA.CAN_ID(0), 0x123);
    window->findChild<QPushButton*>(QStringLiteral("Bt_Disconnect"))->click();
    EXPECT_FALSE(Area().Bt_Disconnect->isEnabled());
    EXPECT_FALSE(Area().Bt_Connect->isEnabled());  // stopping: both off
  });
  QElapsedTimer elapsed;
  elapsed.start();
  Area().Bt_Connect->click();
  const double ms = static_cast<double>(elapsed.elapsed());

  EXPECT_TRUE(checked_running);
  ExpectIdle();
  EXPECT_EQ(Area().TB_Status->text(), QString());
  EXPECT_TRUE(messages.shown.empty());
  const auto frames = sim.Frames();
  ASSERT_GE(frames.size(), 3u);
  EXPECT_EQ(frames[0].id, 0x7DFu);  // first pass: every periodic row, in row order
  EXPECT_EQ(frames[1].id, 0x18DAF110u);
  EXPECT_EQ(frames[1].extended, 1);
  const auto fast = FramesOfRow(sim, 0x18DAF110);
  EXPECT_GE(fast.size(), 2u);
  EXPECT_LE(static_cast<double>(fast.size()), ms / 50.0 + 1.0);  // never more often than asked
  const auto once = FramesOfRow(sim, 1);
  ASSERT_EQ(once.size(), 1u);     // row 6 sent once; row 5's press made while idle was dropped
  EXPECT_EQ(once[0].data[0], 0);  // the table's byte: the typed 5A had not been copied yet
  EXPECT_EQ(FramesOfRow(sim, 0x123).empty(), false);
  const auto log = sim.CallsStartingWith("canBus");
  EXPECT_EQ(log.back().rfind("canBusOff", 0), 0u);
  EXPECT_EQ(sim.Calls("canClose"), 2);  // discovery's close and the connection's
}

// A channel nobody answers: three frames fit its queue, the rest fail and
// it is error passive. The 800 ms timer says so in the status box.
TEST_F(ConnectionControlTest, TheTimerShowsFailedWritesAndTheBusStateWhileConnected) {
  InstallClock();
  auto& sim = InstallDriver(kCanlibLibraryFile, "kvaser name=\"Kvaser A\" txqueue=3\n");
  ASSERT_TRUE(Start());
  window->device.set_t_ViewCaution(0);
  Box("TB_Time_0")->setText(QStringLiteral("1"));
  window->findChild<QCheckBox*>(QStringLiteral("CB_Send_0"))->setChecked(true);
  window->Screen_To_SendDB();
  QString by_timer, refreshed;
  long long failed = 0;
  During(1000, [&] {
    by_timer = Area().TB_Status->text();
    window->TimerGetSetting_Timer();
    refreshed = Area().TB_Status->text();
    failed = sim.Calls("canWrite") - 3;
    window->Bt_Disconnect_Click();
  });
  Area().Bt_Connect->click();
  EXPECT_TRUE(by_timer.startsWith(QStringLiteral("通信中（送信エラー "))) << by_timer.toStdString();
  EXPECT_TRUE(by_timer.endsWith(QStringLiteral("、エラーパッシブ）"))) << by_timer.toStdString();
  EXPECT_GT(failed, 0);
  EXPECT_EQ(refreshed.toStdString(),
            "通信中（送信エラー " + std::to_string(failed) + "、エラーパッシブ）");
  EXPECT_EQ(sim.Frames().size(), 3u);
  // The connection's end empties the box as always, and a later tick
  // asks no connection.
  EXPECT_EQ(Area().TB_Status->text(), QString());
  window->TimerGetSetting_Timer();
  EXPECT_EQ(Area().TB_Status->text(), QString());
  ExpectIdle();
}

TEST_F(ConnectionControlTest, CloseAfterDisconnectSavesTheRowsForTheNextStart) {
  InstallClock();
  InstallDriver(kCanusbLibraryFile, "");
  ASSERT_TRUE(Start());
  window->show();
  Box("TB_ID_4")->setText(QStringLiteral("1FFFFFFF"));
  Box("TB_Time_4")->setText(QStringLiteral("12.5"));
  window->close();
  EXPECT_FALSE(window->isVisible());
  window.reset();

  ASSERT_TRUE(Start());
  EXPECT_EQ(Box("TB_ID_4")->text(), QStringLiteral("1FFFFFFF"));
  EXPECT_EQ(Box("TB_Time_4")->text(), QStringLiteral("12.5"));
}

// Periods longer than their box's typing length come from files (the
// workbook's fractions kept in config.dat, a CSV's long periods): they show
// whole, survive the connection's screen copies, go out at their period and
// are saved as they were.
TEST_F(ConnectionControlTest, WidePeriodsFromFilesGoOutAndAreSavedUnchanged) {
  InstallClock();
  auto& sim = InstallDriver(kCanusbLibraryFile, "");
  CAN_SendDB earlier;
  earlier.set_CAN_SendCycleTime(2, 12.25);
  earlier.set_CAN_SendCycleTime(3, 123.5);
  ASSERT_EQ(FileSaveSystem::Save_SettingFile(ELM327_Info(), earlier), 0);
  ASSERT_TRUE(Start());

  CAN_SendDB csv;
  csv.set_CAN_ID(0, 0x100);
  csv.set_CAN_SendCycleTime(0, 10000);
  csv.set_CAN_SendCycleOperation(0, 1);
  csv.set_CAN_SendCycleTime(1, 12345);
  using namespace Setting_import_export;
  test::WriteFile(
      program.File("long.csv"),
      platform::Utf8ToCp932("TELPOD Ver1.11\r\n設定ファイル\r\n\r\n" + std::string(kCsvHeader) +
                            "\r\n" + CsvRowLine(csv, 0) + "\r\n" + CsvRowLine(csv, 1)));
  dialogs.answers.push_back(program.File("long.csv"));
  Action("menu_file_import")->trigger();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "設定をインポートしました。\r\nlong.csv");
  messages.shown.clear();
  const std::vector<std::string> periods{"10000", "12345", "12.25", "123.5"};
  const auto shown = [&] {
    std::vector<std::string> texts;
    for (int i = 0; i < 4; ++i)
      texts.push_back(Box(QStringLiteral("TB_Time_%1").arg(i))->text().toStdString());
    return texts;
  };
  EXPECT_EQ(shown(), periods);

  window->device.set_t_ViewCaution(0);
  During(1500, [&] { window->Bt_Disconnect_Click(); });
  Area().Bt_Connect->click();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(FramesOfRow(sim, 0x100).size(), 1u);  // the first pass only: 10 s are not over
  const auto stored = [&] {
    std::vector<std::string> texts;
    for (int16_t i = 0; i < 4; ++i)
      texts.push_back(FormatDecimal(window->Tx_CANDATA.CAN_SendCycleTime(i)));
    return texts;
  };
  EXPECT_EQ(stored(), periods);

  window->close();
  window.reset();
  ASSERT_TRUE(Start());
  EXPECT_EQ(stored(), periods);
  EXPECT_EQ(shown(), periods);
}

// A config.dat that cannot be written must not lose the rows without a word:
// the user may stay and export them, or close without saving.
TEST_F(ConnectionControlTest, FailedSaveAtCloseAsksWhetherToStayOpen) {
  InstallClock();
  InstallDriver(kCanusbLibraryFile, "");
  ASSERT_TRUE(Start());
  window->show();
  std::filesystem::create_directory(program.File("config.dat"));  // in the way of the file
  Box("TB_ID_4")->setText(QStringLiteral("1FFFFFFF"));

  messages.answers = {0};  // the first choice: stay open
  window->close();
  EXPECT_TRUE(window->isVisible());
  ASSERT_EQ(messages.asked.size(), 1u);
  const test::AskedQuestion& question = messages.asked[0];
  EXPECT_EQ(question.text, program.File("config.dat") + " を保存できませんでした。\r\n理由：" +
                               std::strerror(EISDIR) +
                               "\r\nウィンドウを開いたままにすると、設定をエクスポートしてから"
                               "閉じることができます。");
  EXPECT_EQ(question.title, "TELPOD Ver1.11");
  EXPECT_EQ(question.icon, platform::MessageIcon::Critical);
  EXPECT_EQ(question.choices, (std::vector<std::string>{"開いたままにする", "保存せずに閉じる"}));

  // Still open, the rows go out to a file of the user's choice.
  dialogs.answers.push_back(program.File("rows.csv"));
  Action("menu_file_export_csv")->trigger();
  EXPECT_NE(test::ReadFile(program.File("rows.csv")).find("1FFFFFFF"), std::string::npos);

  messages.answers = {1};  // close without saving
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(messages.asked.size(), 2u);
  EXPECT_TRUE(std::filesystem::is_directory(program.File("config.dat")));
}

TEST_F(ConnectionControlTest, DismissingTheFailedSaveQuestionKeepsTheWindow) {
  InstallClock();
  InstallDriver(kCanusbLibraryFile, "");
  ASSERT_TRUE(Start());
  window->show();
  std::filesystem::create_directory(program.File("config.dat"));
  window->close();  // no answer queued: the box's default, as Escape gives it
  EXPECT_TRUE(window->isVisible());
  std::filesystem::remove(program.File("config.dat"));
  window->close();  // a save that works asks nothing
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(messages.asked.size(), 1u);
  EXPECT_TRUE(std::filesystem::is_regular_file(program.File("config.dat")));
}

TEST_F(ConnectionControlTest, FailedInterfaceConnectionLeavesItsStatusText) {
  InstallClock();
  auto& sim =
      InstallDriver(kIfCanLibraryFile, "ifcan port=3 getconfig=0xC0000001 close=0xC000000A\n");
  ASSERT_TRUE(Start());
  window->device.set_t_ViewCaution(0);
  Area().Bt_Connect->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "機器が正常に動作していません。\r\n接続を終了します。");
  EXPECT_EQ(Area().TB_Status->text(), QStringLiteral("The device handle is invalid."));
  EXPECT_EQ(sim.CallsStartingWith("CanClosePort").back(), "CanClosePort(-1)");
  ExpectIdle();
}

// An adapter or a channel that will not open ends the connection, not the
// program: the window stays, ready for the next Connect.
TEST_F(ConnectionControlTest, ADeviceThatWillNotOpenEndsOnlyTheConnection) {
  InstallClock();
  InstallDriver(kCanusbLibraryFile, "canusb serial=LW000001 open=fail\n");
  InstallDriver(kCanlibLibraryFile, "kvaser name=\"Kvaser A\"\n");
  ASSERT_TRUE(Start());
  window->device.set_t_ViewCaution(0);
  window->show();
  Sim(kCanlibLibraryFile).Configure("kvaser name=\"Kvaser A\" held\n");
  for (int entry : {0, 1}) {
    messages.shown.clear();
    Area().Cmb_Serect_Device->setCurrentIndex(entry);
    window->Cmb_Serect_Device_Click();
    Area().Bt_Connect->click();
    ASSERT_EQ(messages.shown.size(), 1u) << entry;
    EXPECT_EQ(messages.shown[0].text, "機器が正常に動作していません。\r\n接続を終了します。");
    EXPECT_TRUE(window->isVisible());
    ExpectIdle();
  }
  EXPECT_EQ(window->device.t_select_Vender(), 3);
}

TEST_F(ConnectionControlTest, WithoutAChosenDeviceConnectComesStraightBack) {
  InstallClock();
  InstallDriver(kCanusbLibraryFile, "");
  ASSERT_TRUE(Start());
  window->device.set_t_select_Vender(0);
  window->device.set_t_ViewCaution(0);
  Area().Bt_Connect->click();
  EXPECT_EQ(Area().TB_Status->text(), QStringLiteral("通信初期処理中"));
  ExpectIdle();
}

}  // namespace
}  // namespace telpod
