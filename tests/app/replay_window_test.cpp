#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "app/connection_area.h"
#include "app/replay_panel.h"
#include "started_window.h"

namespace telpod {
namespace {

using platform::kCanlibLibraryFile;

constexpr const char* kTitle = "ログの再生";

// The window on one Kvaser channel, row 0 sending 7DF every 10 ms; logs
// are chosen in the scripted file dialog.
class ReplayWindowTest : public test::StartedWindow {
 protected:
  void SetUp() override {
    socketcan.raw_sockets = false;
    ASSERT_TRUE(StartWith(kCanlibLibraryFile, "kvaser name=\"Kvaser A\"\n"));
    window->device.set_t_ViewCaution(0);
    window->show();
    Box("TB_ID_0")->setText(QStringLiteral("7DF"));
    Box("TB_Time_0")->setText(QStringLiteral("10"));
    window->findChild<QCheckBox*>(QStringLiteral("CB_Send_0"))->setChecked(true);
    window->Screen_To_SendDB();
    // Whatever happens, the connection ends.
    QTimer::singleShot(20'000, window.get(), [this] { window->Bt_Disconnect_Click(); });
  }

  QLineEdit* Box(const char* name) {
    return window->findChild<QLineEdit*>(QString::fromLatin1(name));
  }
  QAction* ReplayMenu() { return window->findChild<QAction*>(QStringLiteral("menu_file_replay")); }
  ReplayPanel& Panel() { return *window->replayPanel(); }
  // A candump log in the program folder: `ids` 100 ms apart, and one CAN
  // FD frame.
  std::string Log(const std::string& name, int frames) {
    std::string text = "(5.000000) can0 123##1AA\n";
    for (int k = 0; k < frames; ++k) {
      char line[64];
      std::snprintf(line, sizeof line, "(%d.%06d) can0 %03X#%02X\n", 5 + k / 10, (k % 10) * 100'000,
                    0x100 + k, k);
      text += line;
    }
    const std::string path = program.File(name);
    test::WriteFile(path, text);
    return path;
  }
  // Runs `step` inside the send loop's event pump once `ready` holds,
  // looking every 20 ms; after 10 s it runs all the same, and the checks
  // after it say what was missing.
  void Once(std::function<bool()> ready, std::function<void()> step) {
    auto* timer = new QTimer(window.get());
    const QDeadlineTimer give_up(10'000);
    QObject::connect(timer, &QTimer::timeout, window.get(), [=] {
      if (!ready() && !give_up.hasExpired()) return;
      timer->stop();
      timer->deleteLater();
      step();
    });
    timer->start(20);
  }
  size_t Told() const { return messages.shown.size(); }
  std::vector<uint32_t> Ids() {
    std::vector<uint32_t> ids;
    for (const auto& f : Sim(kCanlibLibraryFile).Frames()) ids.push_back(f.id);
    return ids;
  }
  // The frames that are not row 0's.
  std::vector<uint32_t> Replayed() {
    std::vector<uint32_t> ids = Ids();
    std::erase(ids, 0x7DFu);
    return ids;
  }
  void Connect() { window->connectionArea()->Bt_Connect->click(); }
};

// Played beside row 0 on the one timetable: the log's frames in order with
// the row's between them, the progress bar while it plays, then the
// summary in a box that leaves the loop going. The rows and the settings
// stay as they were.
TEST_F(ReplayWindowTest, ALogPlaysBesideTheRowsAndIsSummedUpAtItsEnd) {
  const std::string folder_before = window->device.t_setting_file_path();
  const CAN_SendDB rows_before = window->Tx_CANDATA;
  dialogs.answers = {Log("drive.log", 4)};
  EXPECT_FALSE(ReplayMenu()->isEnabled());
  int bar_seen = -1;
  Once([] { return true; },
       [&] {
         ASSERT_TRUE(ReplayMenu()->isEnabled());
         ReplayMenu()->trigger();
         EXPECT_FALSE(ReplayMenu()->isEnabled());
         EXPECT_TRUE(Panel().isVisible());
         Once([&] { return Told() > 0 || Panel().Bar_Replay()->value() > 0; },
              [&] { bar_seen = Panel().Bar_Replay()->value(); });
         Once([&] { return Told() > 0; },
              [&] {
                EXPECT_FALSE(Panel().isVisible());
                EXPECT_TRUE(ReplayMenu()->isEnabled());
                window->Bt_Disconnect_Click();
              });
       });
  Connect();
  EXPECT_GT(bar_seen, 0);
  ASSERT_EQ(Told(), 1u);
  const test::ShownMessage& told = messages.shown[0];
  EXPECT_EQ(told.title, kTitle);
  EXPECT_EQ(told.icon, platform::MessageIcon::None);
  EXPECT_EQ(
      told.text.rfind("ログファイル：drive.log\r\n送信 4 フレーム、拒否 0 フレーム\r\n"
                      "送らなかったもの：CAN FD フレーム 1\r\n記録の長さ 0.300 秒、再生の長さ 0.",
                      0),
      0u)
      << told.text;
  EXPECT_NE(told.text.find("\r\n遅れ：中央値 "), std::string::npos) << told.text;

  EXPECT_EQ(Replayed(), (std::vector<uint32_t>{0x100, 0x101, 0x102, 0x103}));
  const auto ids = Ids();
  const auto first = std::find(ids.begin(), ids.end(), 0x100u);
  const auto last = std::find(ids.begin(), ids.end(), 0x103u);
  EXPECT_GT(std::count(first, last, 0x7DFu), 0) << "no row between the log's frames";
  EXPECT_EQ(window->device.t_setting_file_path(), folder_before);
  EXPECT_EQ(window->Tx_CANDATA.CAN_ID(0), rows_before.CAN_ID(0));
  EXPECT_EQ(window->Tx_CANDATA.CAN_SendCycleTime(0), rows_before.CAN_SendCycleTime(0));
  EXPECT_EQ(window->Tx_CANDATA.CAN_SendCycleOperation(1), 0);
}

// Stop ends a replay at once, and another may follow; Disconnect ends the
// one then playing. Each is summed up as stopped, and no frame of theirs
// goes out afterwards.
TEST_F(ReplayWindowTest, StopAndDisconnectEndAReplayWithItsSummary) {
  const std::string log = Log("long.log", 100);
  dialogs.answers = {log, log};
  size_t sent_at_stop = 0;
  Once([] { return true; },
       [&] {
         ReplayMenu()->trigger();
         Once([&] { return Replayed().size() >= 2; },
              [&] {
                Panel().Bt_Replay_Stop()->click();
                sent_at_stop = Replayed().size();
                EXPECT_FALSE(Panel().isVisible());
                ReplayMenu()->trigger();
                Once([&] { return Replayed().size() >= sent_at_stop + 2; },
                     [&] { window->Bt_Disconnect_Click(); });
              });
       });
  Connect();
  ASSERT_EQ(Told(), 2u);
  for (const auto& told : messages.shown) {
    EXPECT_EQ(told.title, kTitle);
    EXPECT_TRUE(told.text.ends_with("\r\n再生は途中で止められました。")) << told.text;
  }
  EXPECT_FALSE(Panel().isVisible());
  EXPECT_FALSE(ReplayMenu()->isEnabled());
  // The first replay's frames up to the stop, the second's from its start.
  const auto replayed = Replayed();
  ASSERT_GE(replayed.size(), 4u);
  const auto restart = replayed.begin() + static_cast<std::ptrdiff_t>(sent_at_stop);
  EXPECT_EQ(*restart, 0x100u);
  for (auto it = replayed.begin(); it != replayed.end(); ++it) {
    const auto from = it < restart ? replayed.begin() : restart;
    EXPECT_EQ(*it, 0x100u + static_cast<uint32_t>(it - from));
  }
}

// A file that holds no frame is refused in a box, and nothing plays.
TEST_F(ReplayWindowTest, ALogWithoutFramesIsRefusedAndNothingPlays) {
  const std::string path = program.File("notes.txt");
  test::WriteFile(path, "not a log\n");
  dialogs.answers = {path};
  Once([] { return true; },
       [&] {
         ReplayMenu()->trigger();
         EXPECT_FALSE(Panel().isVisible());
         EXPECT_TRUE(ReplayMenu()->isEnabled());
         window->Bt_Disconnect_Click();
       });
  Connect();
  ASSERT_EQ(Told(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "ログファイル " + path + " には送信できるフレームがありません。\r\n読めない行 1");
  EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Critical);
  EXPECT_EQ(messages.shown[0].title, kTitle);
  EXPECT_EQ(dialogs.requests[0].filter, "CAN ログ (*.log *.asc);;すべてのファイル (*)");
  const auto ids = Ids();
  EXPECT_TRUE(std::all_of(ids.begin(), ids.end(), [](uint32_t id) { return id == 0x7DF; }));
}

}  // namespace
}  // namespace telpod
