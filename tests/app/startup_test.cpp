#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMoveEvent>
#include <cmath>
#include <filesystem>
#include <functional>

#include "app/connection_area.h"
#include "app/form2.h"
#include "devices/driver_set.h"
#include "settings/file_save_system.h"
#include "started_window.h"

namespace telpod {
namespace {

using platform::kCanlibLibraryFile;
using platform::kCanusbLibraryFile;
using platform::kIfCanLibraryFile;

class StartupTest : public test::StartedWindow {
 protected:
  StartupTest() { socketcan.raw_sockets = false; }  // a kernel without CAN, like this machine

  QStringList Entries() {
    QStringList list;
    auto* combo = window->connectionArea()->Cmb_Serect_Device;
    for (int i = 0; i < combo->count(); ++i) list << combo->itemText(i);
    return list;
  }
  QString InfoLine() { return window->connectionArea()->TB_ODB_Hard_Version->text(); }
  // The loader's reason why family `n`'s library is not used.
  std::string Reason(size_t n) { return DriverSet().LoadAll()[n].reason; }
  void Choose(int index) {
    window->connectionArea()->Cmb_Serect_Device->setCurrentIndex(index);
    window->Cmb_Serect_Device_Click();
  }
};

TEST_F(StartupTest, ListsEveryFamilyInOrderAndResolvesEachPosition) {
  InstallEveryFamily();
  socketcan.raw_sockets = true;
  socketcan.interfaces.push_back(test::VirtualLink("vcan0"));
  ASSERT_TRUE(Start());
  EXPECT_TRUE(messages.shown.empty());

  EXPECT_EQ(Entries(),
            (QStringList{"CANUSB LW000001", "Interface PCI-485120 port:2", "Interface  port:5",
                         "Kvaser A", "Kvaser C", "SocketCAN vcan0"}));
  EXPECT_EQ(window->device.t_select_Vender(), 1);
  EXPECT_EQ(InfoLine(), QStringLiteral("V2.0"));

  struct Expect {
    int index;
    int32_t family;
    QString line;
  };
  for (const Expect& e : {Expect{1, 2, "Interface PCI-485120 RevID:1 ch:1 高速CAN対応"},
                          Expect{2, 2, "Interface  RevID:3 ch:2"},
                          Expect{3, 3, "P/N：73-30130-00432-1  S/N：70123  FW：3.4.291"},
                          Expect{5, 4, "SocketCAN vcan0 vcan"}, Expect{0, 1, "V2.0"}}) {
    Choose(e.index);
    EXPECT_EQ(window->device.t_CmbBOX_device_SelectNo(), e.index + 1);
    EXPECT_EQ(window->device.t_select_Vender(), e.family) << e.index;
    EXPECT_EQ(InfoLine(), e.line) << e.index;
  }

  // A position past the list names no family and leaves the line alone.
  window->device.set_t_CmbBOX_device_SelectNo(7);
  EXPECT_EQ(window->Show_SelectedDevice_Info(), 0);
  EXPECT_EQ(window->device.t_select_Vender(), 0);
  EXPECT_EQ(InfoLine(), QStringLiteral("V2.0"));
}

// Each probe opens the adapter at the saved rate (20k), as Connect would.
TEST_F(StartupTest, ChoosingTheSameEntryAgainDoesNotProbeTheDeviceAgain) {
  ELM327_Info saved;
  saved.set_t_bitRate(6);
  ASSERT_EQ(FileSaveSystem::Save_SettingFile(saved, CAN_SendDB()), 0);
  ASSERT_TRUE(
      StartWith(kCanusbLibraryFile, "canusb serial=LW000001\ncanusb serial=LW000002 version=B\n"));
  auto& canusb = Sim(kCanusbLibraryFile);
  const long long opens = canusb.Calls("canusb_Open");
  Choose(0);
  EXPECT_EQ(canusb.Calls("canusb_Open"), opens);
  Choose(1);
  EXPECT_EQ(canusb.Calls("canusb_Open"), opens + 1);
  EXPECT_EQ(InfoLine(), QStringLiteral("B"));
  EXPECT_EQ(window->CAN_d.CAN_USB_SelectSerial(), "LW000002");
  for (const std::string& open : canusb.CallsStartingWith("canusb_Open(")) {
    EXPECT_NE(open.find("\",\"20\",0,"), std::string::npos) << open;
  }
}

// The bar's moving part, Pic_ProgressBar_1, is seen wherever it moves to
// while the progress window is shown; its last move comes with the window
// hidden.
TEST_F(StartupTest, ProgressMovesThroughItsFractionsAndTheWindowEndsHidden) {
  struct CoverMoves : QObject {
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Move && watched->objectName() == "Pic_ProgressBar_1") {
        lefts.push_back(static_cast<QMoveEvent*>(event)->pos().x());
      }
      return false;
    }
    std::vector<int> lefts;
  } moves;
  QCoreApplication::instance()->installEventFilter(&moves);
  const bool started = StartWith(kCanlibLibraryFile);
  QCoreApplication::instance()->removeEventFilter(&moves);
  ASSERT_TRUE(started);
  Form2* progress = window->form2();
  ASSERT_NE(progress, nullptr);
  const auto left = [](double p) { return static_cast<int>(std::lround(260 * p)); };
  EXPECT_EQ(moves.lefts, (std::vector<int>{left(0.0), left(0.15), left(0.3), left(0.4), left(0.45),
                                           left(0.6), left(0.7), left(0.8)}));
  EXPECT_EQ(progress->ProgressLeft(), left(0.9));
  EXPECT_FALSE(progress->isVisible());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("TELPOD Ver1.11"));
  EXPECT_EQ(window->device.ExcelInstallCheck(), 1);
}

// Each point where start-up ends shows its reason, then that the program
// ends, and nothing else. Libraries that are there but cannot be used are
// named with the loader's reason instead of "not found"; the install hint
// only comes with missing ones.
TEST_F(StartupTest, EachStopPointShowsItsMessage) {
  const std::string ends = "\r\nアプリケーションを終了します。";
  const std::string drivers = program.File("drivers/");
  const auto two_unusable = [&] {
    InstallClock();
    test::WriteFile(drivers + kCanusbLibraryFile, "not a library");
    std::filesystem::create_symlink(test::SimulatorPath(kCanusbLibraryFile),
                                    drivers + kIfCanLibraryFile);  // the wrong entry points
    return "libcanusbdrv.so を使用できません。\r\n" + Reason(0) +
           "\r\nlibIFCan.so を使用できません。\r\n" + Reason(1) + "\r\n";
  };
  // Each sets the folder up and gives the message it must bring.
  const std::pair<const char*, std::function<std::string()>> cases[] = {
      {"no clock library",
       [&] {
         InstallDriver(kCanusbLibraryFile, "");
         return "libzqt100.so が見つかりません。\r\nlibzqt100.so は同梱のものを使用してください。" +
                ends;
       }},
      {"no driver library",
       [&] {
         InstallClock();
         return "libcanusbdrv.so、libIFCan.so もしくは libcanlib.so.1 が見つかりません。\r\n" +
                platform::DriverFolders().front() +
                "/libcanusbdrv.so\r\nドライバがインストールされていません。" + ends;
       }},
      {"unusable and missing",
       [&] {
         return two_unusable() + "libcanlib.so.1 が見つかりません。\r\n" +
                platform::DriverFolders().front() +
                "/libcanlib.so.1\r\nドライバがインストールされていません。" + ends;
       }},
      {"all unusable",
       [&] {
         const std::string text = two_unusable();
         test::WriteFile(drivers + kCanlibLibraryFile, "");
         return text + "libcanlib.so.1 を使用できません。\r\n" + Reason(2) + ends;
       }},
      {"no device",
       [&] {
         InstallClock();
         InstallDriver(kCanusbLibraryFile, "# no adapters\n");
         InstallDriver(kCanlibLibraryFile, "kvaser held\n");
         return "デバイスが見つかりません。" + ends;
       }},
      {"adapter fails to close",
       [&] {
         InstallClock();
         InstallDriver(kCanusbLibraryFile, "canusb serial=LW000001 close=-1\n");
         return "機器が正常に動作していません。" + ends;
       }},
  };
  for (const auto& [name, setup] : cases) {
    SCOPED_TRACE(name);
    std::filesystem::remove_all(program.path());
    std::filesystem::create_directories(drivers);
    messages.shown.clear();
    const std::string text = setup();
    EXPECT_FALSE(Start());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, text);
    EXPECT_EQ(messages.shown[0].title, "TELPOD Ver1.11");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Critical);
    EXPECT_TRUE(!window->form2() || !window->form2()->isVisible());
    window.reset();
  }
}

// An unusable library beside a working one is only noted; an adapter that
// will not open for its probe is listed without a line.
TEST_F(StartupTest, StartsDespiteAnUnusableLibraryOrAnAdapterThatWillNotOpen) {
  InstallClock();
  InstallDriver(kCanusbLibraryFile, "canusb serial=LW000001 open=fail\n");
  test::WriteFile(program.File("drivers/") + kCanlibLibraryFile, "not a library");
  ::testing::internal::CaptureStderr();
  const bool started = Start();
  const std::string noted = ::testing::internal::GetCapturedStderr();
  ASSERT_TRUE(started);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Entries(), QStringList{"CANUSB LW000001"});
  EXPECT_EQ(InfoLine(), QString());
  EXPECT_EQ(noted, "telpod: libcanlib.so.1 not used: " + Reason(2) + "\n");
}

TEST_F(StartupTest, ASecondInstanceEndsSilently) {
  ASSERT_TRUE(StartWith(kCanusbLibraryFile));
  Form1 second(WindowPorts{&messages, &dialogs, &urls, &socketcan});
  EXPECT_FALSE(second.Form_Load());
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace telpod
