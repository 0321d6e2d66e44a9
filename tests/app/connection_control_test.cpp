#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "app/connection_area.h"
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

  // What is on and off while frames go out (the warning shown), or idle.
  void ExpectRunning(bool running) {
    EXPECT_EQ(window->RxFlag, running ? 1 : 0);
    EXPECT_EQ(Area().Bt_Connect->isEnabled(), !running);
    EXPECT_EQ(Area().Bt_Disconnect->isEnabled(), running);
    EXPECT_EQ(Area().Cmb_Serect_Device->isEnabled(), !running);
    EXPECT_EQ(Action("menu_common_setting")->isEnabled(), !running);
    EXPECT_EQ(window->TimerGetSetting()->isActive(), running);
    EXPECT_EQ(Area().Pic_Caution->isVisibleTo(window.get()), running);
    EXPECT_EQ(Area().TB_Protocol->text(), running ? "500k bps" : "---");
  }
  static size_t FramesOf(test::SimControl& sim, uint32_t id) {
    const auto frames = sim.Frames();
    return std::ranges::count_if(frames, [&](const cansim_frame& f) { return f.id == id; });
  }
};

TEST_F(ConnectionControlTest, AWholeConnectionFromTheWindow) {
  ASSERT_TRUE(StartWith(kCanlibLibraryFile, "kvaser name=\"Kvaser A\"\n"));
  auto& sim = Sim(kCanlibLibraryFile);
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
    ExpectRunning(true);
    EXPECT_EQ(Area().TB_Status->text(), QStringLiteral("通信中"));
    window->close();  // refused while frames go out
    EXPECT_TRUE(window->isVisible());
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
  ExpectRunning(false);
  EXPECT_EQ(Area().TB_Status->text(), QString());
  EXPECT_TRUE(messages.shown.empty());
  const auto frames = sim.Frames();
  ASSERT_GE(frames.size(), 3u);
  EXPECT_EQ(frames[0].id, 0x7DFu);  // first pass: every periodic row, in row order
  EXPECT_EQ(frames[1].id, 0x18DAF110u);
  const size_t fast = FramesOf(sim, 0x18DAF110);
  EXPECT_GE(fast, 2u);
  EXPECT_LE(static_cast<double>(fast), ms / 50.0 + 1.0);  // never more often than asked
  // Row 6 went out once; row 5's press made while idle was dropped.
  EXPECT_EQ(FramesOf(sim, 1), 1u);
  EXPECT_GT(FramesOf(sim, 0x123), 0u);
}

// A channel nobody answers: three frames fit its queue, the rest fail and
// it is error passive. The timer's tick says so in the status box.
TEST_F(ConnectionControlTest, TheTimerShowsFailedWritesAndTheBusStateWhileConnected) {
  ASSERT_TRUE(StartWith(kCanlibLibraryFile, "kvaser name=\"Kvaser A\" txqueue=3\n"));
  auto& sim = Sim(kCanlibLibraryFile);
  window->device.set_t_ViewCaution(0);
  Box("TB_Time_0")->setText(QStringLiteral("1"));
  window->findChild<QCheckBox*>(QStringLiteral("CB_Send_0"))->setChecked(true);
  window->Screen_To_SendDB();
  QString refreshed;
  long long failed = 0;
  During(1000, [&] {
    window->TimerGetSetting_Timer();
    refreshed = Area().TB_Status->text();
    failed = sim.Calls("canWrite") - 3;
    window->Bt_Disconnect_Click();
  });
  Area().Bt_Connect->click();
  EXPECT_GT(failed, 0);
  EXPECT_EQ(refreshed.toStdString(),
            "通信中（送信エラー " + std::to_string(failed) + "、エラーパッシブ）");
  EXPECT_EQ(sim.Frames().size(), 3u);
  // The connection's end empties the box as always, and a later tick
  // asks no connection.
  EXPECT_EQ(Area().TB_Status->text(), QString());
  window->TimerGetSetting_Timer();
  EXPECT_EQ(Area().TB_Status->text(), QString());
  ExpectRunning(false);
}

// The timer's screen copy first brings the rows up to its own moment: row 0
// (sent at Connect, due again only in ten seconds) has gained time at the
// tick that switches it off, and keeps exactly that while off.
TEST_F(ConnectionControlTest, TheScreenCopyCountsTheRowsUpToItsOwnMoment) {
  ASSERT_TRUE(StartWith(kCanlibLibraryFile, "kvaser name=\"Kvaser A\"\n"));
  window->device.set_t_ViewCaution(0);
  auto* periodic = window->findChild<QCheckBox*>(QStringLiteral("CB_Send_0"));
  Box("TB_Time_0")->setText(QStringLiteral("9999"));
  periodic->setChecked(true);
  window->Screen_To_SendDB();
  const CAN_SendDB& table = window->Tx_CANDATA;
  double before = -1.0, at_tick = -1.0, later = -1.0;
  During(300, [&] {
    before = table.CAN_SendTime(0);
    periodic->setChecked(false);
    window->TimerGetSetting_Timer();
    at_tick = table.CAN_SendTime(0);
  });
  During(600, [&] {
    later = table.CAN_SendTime(0);
    window->Bt_Disconnect_Click();
  });
  Area().Bt_Connect->click();
  EXPECT_GT(at_tick, before);
  EXPECT_EQ(later, at_tick);
  EXPECT_EQ(table.CAN_SendCycleOperation(0), 0);
}

// A config.dat that cannot be written must not lose the rows without a word:
// the user may stay and export them, or close without saving.
TEST_F(ConnectionControlTest, FailedSaveAtCloseAsksWhetherToStayOpen) {
  ASSERT_TRUE(StartWith(kCanusbLibraryFile));
  window->show();
  std::filesystem::create_directory(program.File("config.dat"));  // in the way of the file
  Box("TB_ID_4")->setText(QStringLiteral("1FFFFFFF"));

  window->close();  // the first choice, which Escape gives too: stay open
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

  messages.answers = {1};  // close without saving
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(messages.asked.size(), 2u);
  EXPECT_TRUE(std::filesystem::is_directory(program.File("config.dat")));
}

// A device that fails ends the connection, not the program: the window
// stays, ready for the next Connect.
TEST_F(ConnectionControlTest, FailedInterfaceConnectionLeavesItsStatusText) {
  ASSERT_TRUE(StartWith(kIfCanLibraryFile, "ifcan port=3 getconfig=0xC0000001 close=0xC000000A\n"));
  auto& sim = Sim(kIfCanLibraryFile);
  window->device.set_t_ViewCaution(0);
  window->show();
  Area().Bt_Connect->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "機器が正常に動作していません。\r\n接続を終了します。");
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(Area().TB_Status->text(), QStringLiteral("The device handle is invalid."));
  EXPECT_EQ(sim.CallsStartingWith("CanClosePort").back(), "CanClosePort(-1)");
  ExpectRunning(false);
}

TEST_F(ConnectionControlTest, WithoutAChosenDeviceConnectComesStraightBack) {
  ASSERT_TRUE(StartWith(kCanusbLibraryFile));
  window->device.set_t_select_Vender(0);
  window->device.set_t_ViewCaution(0);
  Area().Bt_Connect->click();
  EXPECT_EQ(Area().TB_Status->text(), QStringLiteral("通信初期処理中"));
  ExpectRunning(false);
}

}  // namespace
}  // namespace telpod
