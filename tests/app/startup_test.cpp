#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <filesystem>

#include "app/connection_area.h"
#include "app/form2.h"
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
  void Choose(int index) {
    window->connectionArea()->Cmb_Serect_Device->setCurrentIndex(index);
    window->Cmb_Serect_Device_Click();
  }
  std::string StopText(const char* first_line) {
    return std::string(first_line) + "\r\nアプリケーションを終了します。";
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
  EXPECT_EQ(window->IfCan_d.Interface_CAN_SelectNo(), 2);
  EXPECT_EQ(window->kvCan_d.KvCAN_SelectNo(), 1);
  EXPECT_EQ(window->sockCan_d.SocketCAN_SelectNo(), 1);

  // Kvaser's second entry is the third channel: the held one was skipped.
  Choose(4);
  EXPECT_EQ(window->kvCan_d.KvCAN_SelectNo(), 2);
  EXPECT_EQ(window->kvCan_d.Kvaser_DevChannel(1), 2);

  // A position past the list names no family and leaves the line alone.
  window->device.set_t_CmbBOX_device_SelectNo(7);
  EXPECT_EQ(window->Show_SelectedDevice_Info(), 0);
  EXPECT_EQ(window->device.t_select_Vender(), 0);
  EXPECT_EQ(InfoLine(), QStringLiteral("P/N：0-00000-00000-0  S/N：0  FW：0.0.0"));
}

TEST_F(StartupTest, ChoosingTheSameEntryAgainDoesNotProbeTheDeviceAgain) {
  InstallClock();
  auto& canusb = InstallDriver(kCanusbLibraryFile,
                               "canusb serial=LW000001\ncanusb serial=LW000002 version=B\n");
  ASSERT_TRUE(Start());
  const long long opens = canusb.Calls("canusb_Open");
  Choose(0);
  EXPECT_EQ(canusb.Calls("canusb_Open"), opens);
  Choose(1);
  EXPECT_EQ(canusb.Calls("canusb_Open"), opens + 1);
  EXPECT_EQ(InfoLine(), QStringLiteral("B"));
  EXPECT_EQ(window->CAN_d.CAN_USB_SelectSerial(), "LW000002");
}

TEST_F(StartupTest, ProgressMovesThroughItsFractionsAndTheWindowEndsHidden) {
  InstallClock();
  InstallDriver(kCanlibLibraryFile, "");
  ASSERT_TRUE(Start());
  Form2* progress = window->form2();
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(progress->History(),
            (std::vector<double>{0.0, 0.15, 0.3, 0.4, 0.45, 0.6, 0.7, 0.8, 0.9}));
  EXPECT_FALSE(progress->isVisible());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("TELPOD Ver1.11"));
  EXPECT_EQ(window->device.ExcelInstallCheck(), 1);
}

TEST_F(StartupTest, MissingClockLibraryStopsWithItsMessage) {
  InstallDriver(kCanusbLibraryFile, "");
  EXPECT_FALSE(Start());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "libzqt100.so が見つかりません。\r\nlibzqt100.so は同梱のものを使用してください。\r\n"
            "アプリケーションを終了します。");
  EXPECT_EQ(messages.shown[0].title, "TELPOD Ver1.11");
  EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Critical);
}

TEST_F(StartupTest, NoDriverLibraryStopsWithAMessageNamingAllThree) {
  InstallClock();
  EXPECT_FALSE(Start());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "libcanusbdrv.so、libIFCan.so もしくは libcanlib.so.1 が見つかりません。\r\n" +
                platform::DriverFolders().front() + "/libcanusbdrv.so" +
                "\r\nドライバがインストールされていません。\r\nアプリケーションを終了します。");
}

// Libraries that are there but cannot be used are named with the loader's
// reason instead of "not found"; missing ones keep that text, and the
// install hint only comes with them.
TEST_F(StartupTest, UnusableLibrariesAreNamedWithTheirReason) {
  InstallClock();
  const std::string drivers = program.File("drivers/");
  test::WriteFile(drivers + kCanusbLibraryFile, "not a library");
  std::filesystem::create_symlink(test::SimulatorPath(kCanusbLibraryFile),
                                  drivers + kIfCanLibraryFile);  // the wrong entry points
  EXPECT_FALSE(Start());
  ASSERT_EQ(messages.shown.size(), 1u);
  const QStringList lines = QString::fromStdString(messages.shown[0].text).split("\r\n");
  ASSERT_EQ(lines.size(), 8) << messages.shown[0].text;
  EXPECT_EQ(lines[0], "libcanusbdrv.so を使用できません。");
  EXPECT_TRUE(lines[1].startsWith(QString::fromStdString("cannot load " + drivers)))
      << lines[1].toStdString();
  EXPECT_EQ(lines[2], "libIFCan.so を使用できません。");
  EXPECT_TRUE(lines[3].contains("lacks the entry point Can")) << lines[3].toStdString();
  EXPECT_EQ(lines.mid(4), (QStringList{"libcanlib.so.1 が見つかりません。",
                                       QString::fromStdString(platform::JoinPath(
                                           platform::DriverFolders().front(), kCanlibLibraryFile)),
                                       "ドライバがインストールされていません。",
                                       "アプリケーションを終了します。"}));
  EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Critical);

  window.reset();
  messages.shown.clear();
  test::WriteFile(drivers + kCanlibLibraryFile, "");
  EXPECT_FALSE(Start());
  ASSERT_EQ(messages.shown.size(), 1u);
  const std::string all_unusable = messages.shown[0].text;
  EXPECT_EQ(all_unusable.find("が見つかりません"), std::string::npos) << all_unusable;
  EXPECT_EQ(all_unusable.find("インストール"), std::string::npos) << all_unusable;
  EXPECT_NE(all_unusable.find("libcanlib.so.1 を使用できません。\r\n"), std::string::npos);
}

TEST_F(StartupTest, AnUnusableLibraryBesideAWorkingOneIsNotedOnStandardError) {
  InstallClock();
  InstallDriver(kCanusbLibraryFile, "canusb serial=LW000001\n");
  test::WriteFile(program.File("drivers/") + kCanlibLibraryFile, "not a library");
  ::testing::internal::CaptureStderr();
  const bool started = Start();
  const std::string noted = ::testing::internal::GetCapturedStderr();
  ASSERT_TRUE(started);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Entries(), QStringList{"CANUSB LW000001"});
  EXPECT_EQ(
      noted.rfind("telpod: libcanlib.so.1 not used: cannot load " + program.File("drivers/"), 0),
      0u)
      << noted;
  EXPECT_EQ(noted.find("libIFCan.so"), std::string::npos);  // missing is not unusable
}

TEST_F(StartupTest, LibrariesWithoutDevicesStopWithNoDeviceMessage) {
  InstallClock();
  InstallDriver(kCanusbLibraryFile, "# no adapters\n");
  InstallDriver(kCanlibLibraryFile, "kvaser held\n");
  EXPECT_FALSE(Start());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, StopText("デバイスが見つかりません。"));
  EXPECT_FALSE(window->form2()->isVisible());
}

TEST_F(StartupTest, AnAdapterThatFailsToCloseStopsTheProgram) {
  InstallClock();
  InstallDriver(kCanusbLibraryFile, "canusb serial=LW000001 close=-1\n");
  EXPECT_FALSE(Start());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, StopText("機器が正常に動作していません。"));
}

TEST_F(StartupTest, AnAdapterThatCannotBeOpenedStillStartsWithoutALine) {
  InstallClock();
  InstallDriver(kCanusbLibraryFile, "canusb serial=LW000001 open=fail\n");
  InstallDriver(kIfCanLibraryFile, "# no boards\n");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(InfoLine(), QString());
}

TEST_F(StartupTest, ASecondInstanceEndsSilently) {
  InstallClock();
  InstallDriver(kCanusbLibraryFile, "");
  ASSERT_TRUE(Start());
  Form1 second(WindowPorts{&messages, &dialogs, &urls, &socketcan});
  EXPECT_FALSE(second.Form_Load());
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace telpod
