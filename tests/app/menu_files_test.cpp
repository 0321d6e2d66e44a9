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
    window.Form_Load_Initialize();
  }

  void Trigger(const char* action) {
    window.findChild<QAction*>(QString::fromLatin1(action))->trigger();
  }
  QLineEdit* Box(const char* name) {
    return window.findChild<QLineEdit*>(QString::fromLatin1(name));
  }

  test::TempFolder program, user;
  platform::ScopedProgramFolder folder_scope;
  test::RecordingMessages messages;
  test::ScriptedDialogs dialogs;
  Form1 window;
};

// Each kind of file takes the screen (a CSV rounds the period, the workbook
// keeps its fraction) and brings it back onto it.
TEST_F(MenuFilesTest, ExportThenImportRestoresTheRowsOnScreen) {
  window.Check_Excel_Install();
  window.Form_Load_Initialize();
  struct Case {
    const char* action;
    const char* name;
    const char* kind;
    const char* period;
  };
  for (const Case& c : {Case{"menu_file_export_csv", "TELPOD.csv", "csv", "12"},
                        Case{"menu_file_export_excel", "TELPOD.xls", "xls", "12.5"}}) {
    SCOPED_TRACE(c.name);
    Box("TB_ID_2")->setText(QStringLiteral("18DAF110"));
    Box("TB_Data4_2")->setText(QStringLiteral("7e"));
    Box("TB_Time_2")->setText(QStringLiteral("12.5"));
    dialogs.requests.clear();
    messages.shown.clear();
    dialogs.answers = {user.File(c.name), user.File(c.name)};
    Trigger(c.action);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].title, "名前を付けて設定を保存");
    EXPECT_EQ(dialogs.requests[0].file_name, c.name);
    EXPECT_TRUE(dialogs.requests[0].save);
    EXPECT_EQ(window.device.t_setting_file_path(), user.path() + "/");
    EXPECT_EQ(window.Tx_CANDATA.CAN_ID(2), 0x18DAF110);  // the screen went into the table first
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              std::string("設定を") + c.kind + "でエクスポートしました。\r\n" + c.name);

    Box("TB_ID_2")->setText(QStringLiteral("1"));
    Box("TB_Data4_2")->setText(QStringLiteral("00"));
    window.Screen_To_SendDB();
    Trigger("menu_file_import");
    EXPECT_EQ(dialogs.requests[1].title, "設定ファイルをインポート");
    EXPECT_EQ(dialogs.requests[1].initial_folder, user.path() + "/");
    EXPECT_FALSE(dialogs.requests[1].save);
    EXPECT_EQ(Box("TB_ID_2")->text(), QStringLiteral("18DAF110"));
    EXPECT_EQ(Box("TB_Data4_2")->text(), QStringLiteral("7E"));
    EXPECT_EQ(Box("TB_Time_2")->text(), QString::fromLatin1(c.period));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].title, "設定 import");
    EXPECT_EQ(messages.shown[1].text, std::string("設定をインポートしました。\r\n") + c.name);
    EXPECT_EQ(messages.shown[1].icon, platform::MessageIcon::None);
  }
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
