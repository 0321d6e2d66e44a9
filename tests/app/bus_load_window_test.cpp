#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>

#include "app/bus_load_label.h"
#include "app/connection_area.h"
#include "keyboard.h"
#include "started_window.h"

namespace telpod {
namespace {

using test::Retype;

class BusLoadWindowTest : public test::StartedWindow {
 protected:
  BusLoadLabel& Label() { return *window->connectionArea()->Lb_BusLoad; }
  QString Shown() { return Label().text(); }
  QColor Colour() { return Label().palette().color(QPalette::WindowText); }
  template <typename W = QLineEdit>
  W* Control(const char* base, int row) {
    return window->findChild<W*>(QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(row));
  }
  void Switch(const char* base, int row) { Control<QCheckBox>(base, row)->click(); }
  void ChooseRate(int index) {
    window->findChild<QAction*>(QStringLiteral("menu_common_setting"))->trigger();
    window->formCommonSetting()->RB_BitRate(index)->click();
    window->formCommonSetting()->findChild<QPushButton*>(QStringLiteral("Bt_OK"))->click();
  }
  QColor plain_ = QLabel().palette().color(QPalette::WindowText);
};

// Every row, switch and rate change shows at once, from the screen as the
// next copy would take it into the table (a refused text leaves the
// table's value), while the table itself waits for that copy.
TEST_F(BusLoadWindowTest, TheLabelFollowsRowsSwitchesAndTheRate) {
  ASSERT_TRUE(StartWith(platform::kCanusbLibraryFile));
  EXPECT_EQ(Label().accessibleName(), QStringLiteral("Lb_BusLoad"));
  EXPECT_EQ(Shown(), QStringLiteral("バス負荷 0.0%"));
  EXPECT_EQ(Colour(), plain_);
  for (int i = 0; i < 8; ++i) {
    Switch("CB_Send", i);
    Retype(Control("TB_Time", i), QStringLiteral("1"));
  }
  // Eight standard 8-byte frames a millisecond at 500k.
  EXPECT_EQ(Shown(), QStringLiteral("バス負荷 216.0%"));
  EXPECT_EQ(Colour(), BusLoadLabel::kOverColour);
  EXPECT_EQ(window->Tx_CANDATA.CAN_SendCycleOperation(0), 0);
  Retype(Control("TB_ID", 7), QStringLiteral("800"));  // never sent as a standard frame
  EXPECT_EQ(Shown(), QStringLiteral("バス負荷 189.0%"));
  Switch("CB_Extension", 7);
  EXPECT_EQ(Shown(), QStringLiteral("バス負荷 221.0%"));
  ChooseRate(0);  // 1M
  EXPECT_EQ(Shown(), QStringLiteral("バス負荷 110.5%"));
  for (int i : {6, 7}) Switch("CB_Send", i);
  EXPECT_EQ(Shown(), QStringLiteral("バス負荷 81.0%"));
  EXPECT_EQ(Colour(), BusLoadLabel::kBusyColour);
  for (int i : {2, 3, 4, 5}) Switch("CB_Send", i);
  EXPECT_EQ(Shown(), QStringLiteral("バス負荷 27.0%"));
  EXPECT_EQ(Colour(), plain_);
  Retype(Control("TB_Time", 0), QStringLiteral("0"));  // refused: the table's 100 ms stands
  EXPECT_EQ(Shown(), QStringLiteral("バス負荷 13.6%"));
  EXPECT_EQ(Label().accessibleDescription(), Shown());
}

// While connected the timer adds what the device took over the last
// second; the idle window drops it again.
TEST_F(BusLoadWindowTest, WhileConnectedTheTimerAddsTheAchievedLoad) {
  ASSERT_TRUE(StartWith(platform::kCanlibLibraryFile, "kvaser name=\"Kvaser A\"\n"));
  window->device.set_t_ViewCaution(0);
  Switch("CB_Send", 0);
  Retype(Control("TB_Time", 0), QStringLiteral("1"));
  window->Screen_To_SendDB();
  QString connected;
  QTimer::singleShot(1000, window.get(), [&] {
    window->TimerGetSetting_Timer();
    connected = Shown();
    window->Bt_Disconnect_Click();
  });
  window->connectionArea()->Bt_Connect->click();
  const auto match = QRegularExpression(QStringLiteral("^バス負荷 27\\.0%（実測 (\\d+\\.\\d)%）$"))
                         .match(connected);
  ASSERT_TRUE(match.hasMatch()) << connected.toStdString();
  EXPECT_GT(match.captured(1).toDouble(), 0.0);  // the frames of the last second
  EXPECT_EQ(Shown(), QStringLiteral("バス負荷 27.0%"));
}

}  // namespace
}  // namespace telpod
