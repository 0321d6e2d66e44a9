#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>

#include "app/form1.h"
#include "platform/program_folder.h"
#include "support/temp_folder.h"
#include "window_fakes.h"

namespace telpod {
namespace {

class MenuFilesTest : public ::testing::Test {
 protected:
  MenuFilesTest()
      : folder_scope(program.path()), window(WindowPorts{&messages, &dialogs, nullptr}) {
    window.device.Param_ALL_Clear();
    window.Form_Load_Initialize();
  }

  void Trigger(const char* action) {
    window.findChild<QAction*>(QString::fromLatin1(action))->trigger();
  }
  QLineEdit* Box(const char* name) {
    return window.findChild<QLineEdit*>(QString::fromLatin1(name));
  }

  test::TempFolder program;
  test::TempFolder user;
  platform::ScopedProgramFolder folder_scope;
  test::RecordingMessages messages;
  test::ScriptedDialogs dialogs;
  Form1 window;
};

TEST_F(MenuFilesTest, CsvExportThenImportRestoresTheRowsOnScreen) {
  Box("TB_ID_2")->setText(QStringLiteral("18DAF110"));
  Box("TB_Data4_2")->setText(QStringLiteral("7e"));
  const std::string path = user.File("rows.csv");
  dialogs.answers.push_back(path);
  Trigger("menu_file_export_csv");

  ASSERT_EQ(dialogs.requests.size(), 1u);
  EXPECT_EQ(dialogs.requests[0].title, "名前を付けて設定を保存");
  EXPECT_EQ(dialogs.requests[0].file_name, "TELPOD.csv");
  EXPECT_EQ(dialogs.requests[0].initial_folder, program.path());
  EXPECT_TRUE(dialogs.requests[0].save);
  EXPECT_EQ(window.device.t_setting_file_path(), user.path() + "/");
  EXPECT_EQ(window.Tx_CANDATA.CAN_ID(2), 0x18DAF110);  // the screen went into the table first
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "設定をcsvでエクスポートしました。\r\nrows.csv");

  Box("TB_ID_2")->setText(QStringLiteral("1"));
  Box("TB_Data4_2")->setText(QStringLiteral("00"));
  window.Screen_To_SendDB();
  dialogs.answers.push_back(path);
  Trigger("menu_file_import");
  EXPECT_EQ(dialogs.requests[1].title, "設定ファイルをインポート");
  EXPECT_EQ(dialogs.requests[1].initial_folder, user.path() + "/");
  EXPECT_FALSE(dialogs.requests[1].save);
  EXPECT_EQ(Box("TB_ID_2")->text(), QStringLiteral("18DAF110"));
  EXPECT_EQ(Box("TB_Data4_2")->text(), QStringLiteral("7E"));
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].title, "設定 import");
  EXPECT_EQ(messages.shown[1].text, "設定をインポートしました。\r\nrows.csv");
  EXPECT_EQ(messages.shown[1].icon, platform::MessageIcon::None);
}

TEST_F(MenuFilesTest, WorkbookExportThenImportRestoresTheRowsOnScreen) {
  window.Check_Excel_Install();
  window.Form_Load_Initialize();
  EXPECT_TRUE(window.findChild<QAction*>(QStringLiteral("menu_file_export_excel"))->isEnabled());
  Box("TB_ID_7")->setText(QStringLiteral("1ABCDEF0"));
  Box("TB_Time_7")->setText(QStringLiteral("12.5"));
  dialogs.answers.push_back(user.File("rows.xls"));
  Trigger("menu_file_export_excel");
  EXPECT_EQ(dialogs.requests[0].file_name, "TELPOD.xls");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "設定をxlsでエクスポートしました。\r\nrows.xls");

  Box("TB_ID_7")->setText(QStringLiteral("2"));
  Box("TB_Time_7")->setText(QStringLiteral("7"));
  window.Screen_To_SendDB();
  dialogs.answers.push_back(user.File("rows.xls"));
  Trigger("menu_file_import");
  EXPECT_EQ(Box("TB_ID_7")->text(), QStringLiteral("1ABCDEF0"));
  EXPECT_EQ(Box("TB_Time_7")->text(), QStringLiteral("12.5"));
  EXPECT_EQ(messages.shown.back().text, "設定をインポートしました。\r\nrows.xls");
}

TEST_F(MenuFilesTest, RefusedImportsShowTheFailureAndLeaveTheScreen) {
  test::WriteFile(user.File("rows.txt"), "whatever");
  test::WriteFile(user.File("plain.csv"), " No , E , ID\r\n  1 , 0 , 7FF , 8");
  Box("TB_ID_0")->setText(QStringLiteral("ABC"));
  for (const char* name : {"rows.txt", "plain.csv"}) {
    dialogs.answers.push_back(user.File(name));
    Trigger("menu_file_import");
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().text,
              std::string("設定のインポートに失敗しました。\r\n") + name);
    EXPECT_EQ(messages.shown.back().icon, platform::MessageIcon::Critical);
    EXPECT_EQ(Box("TB_ID_0")->text(), QStringLiteral("ABC"));
  }
  EXPECT_EQ(window.Tx_CANDATA.CAN_ID(0), 1);
}

TEST_F(MenuFilesTest, CancelledDialogsChangeNothingAndShowNothing) {
  const std::string before = window.device.t_setting_file_path();
  Box("TB_ID_1")->setText(QStringLiteral("123"));
  Trigger("menu_file_export_csv");
  Trigger("menu_file_import");
  EXPECT_EQ(dialogs.requests.size(), 2u);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(window.device.t_setting_file_path(), before);
  EXPECT_EQ(window.Tx_CANDATA.CAN_ID(1), 1);  // no screen copy on a cancel
}

}  // namespace
}  // namespace telpod
