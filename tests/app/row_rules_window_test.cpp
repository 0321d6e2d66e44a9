#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "app/connection_area.h"
#include "app/row_rules_dialog.h"
#include "platform/program_folder.h"
#include "settings/file_save_system.h"
#include "settings/row_rules_file.h"
#include "settings/row_rules_json.h"
#include "started_window.h"
#include "support/temp_folder.h"
#include "window_fakes.h"

namespace telpod {
namespace {

using A = ChecksumAlgorithm;

// The dialog's controls, found by name.
struct DialogControls {
  explicit DialogControls(RowRulesDialog* d) : dialog(d) {}
  template <typename W>
  W* Get(const char* name) const {
    auto* w = dialog->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QSpinBox* Spin(const char* name) const { return Get<QSpinBox>(name); }
  QComboBox* Combo(const char* name) const { return Get<QComboBox>(name); }
  QString Refusal() const { return Get<QLabel>("Lbl_Refusal")->text(); }
  void Click(const char* name) const { Get<QPushButton>(name)->click(); }
  // A nibble counter in D7 with a CRC-8H2F in D8, the example users meet first.
  void AliveCounterAndCrc() const {
    Get<QGroupBox>("GB_Counter")->setChecked(true);
    Combo("Cmb_CounterByte")->setCurrentIndex(6);
    Spin("Spn_FirstBit")->setValue(0);
    Spin("Spn_Bits")->setValue(4);
    Spin("Spn_Wrap")->setValue(14);
    Get<QGroupBox>("GB_Checksum")->setChecked(true);
    Combo("Cmb_ChecksumByte")->setCurrentIndex(7);
    Combo("Cmb_Algorithm")->setCurrentIndex(3);
  }
  RowRulesDialog* dialog;
};

const RowRule kAliveCounterAndCrc{CounterRule{7, 0, 4, 0, 1, 14},
                                  ChecksumRule{8, A::Crc8H2F, {}, {}}};

class RowRulesWindowTest : public ::testing::Test {
 protected:
  RowRulesWindowTest()
      : folder_scope(program.path()), window(WindowPorts{&messages, &dialogs, nullptr}) {
    window.Form_Load_Initialize();
  }
  DialogControls Open(int row) {
    window.findChild<QToolButton*>(QStringLiteral("Bt_Rules_%1").arg(row))->click();
    EXPECT_NE(window.rowRulesDialog(), nullptr);
    return DialogControls(window.rowRulesDialog());
  }
  QLabel* Marker(int row) {
    return window.findChild<QLabel*>(QStringLiteral("Lbl_Rules_%1").arg(row));
  }
  QLineEdit* Box(const QString& name) { return window.findChild<QLineEdit*>(name); }

  test::TempFolder program, user;
  platform::ScopedProgramFolder folder_scope;
  test::RecordingMessages messages;
  test::ScriptedDialogs dialogs;
  Form1 window;
};

// Impossible rules are refused in the dialog, which says why and stays
// open; the rows' rules stay as they were. The DLC is the one typed.
TEST_F(RowRulesWindowTest, TheDialogRefusesImpossibleRulesAndSaysWhy) {
  Box(QStringLiteral("TB_DLC_2"))->setText(QStringLiteral("7"));
  const std::pair<std::function<void(const DialogControls&)>, const char*> cases[] = {
      {[](const DialogControls&) {}, "チェックサムのバイトが DLC を超えています。"},
      {[](const DialogControls& d) {
         d.Combo("Cmb_CounterByte")->setCurrentIndex(7);
         d.Combo("Cmb_ChecksumByte")->setCurrentIndex(1);
       },
       "カウンターのバイトが DLC を超えています。"},
      {[](const DialogControls& d) {
         d.Combo("Cmb_CounterByte")->setCurrentIndex(0);
         d.Combo("Cmb_ChecksumByte")->setCurrentIndex(0);
       },
       "カウンターとチェックサムが同じビットを使っています。"},
      {[](const DialogControls& d) {
         d.Combo("Cmb_ChecksumByte")->setCurrentIndex(1);
         d.Spin("Spn_Start")->setValue(15);
       },
       "カウンターの開始値が折り返し値より大きくなっています。"},
      {[](const DialogControls& d) {
         d.Combo("Cmb_ChecksumByte")->setCurrentIndex(1);
         d.Spin("Spn_FirstBit")->setValue(6);
       },
       "カウンターのビットがバイトの外に出ています（開始ビットとビット数の和は 8 まで）。"},
      {[](const DialogControls& d) {
         d.Combo("Cmb_ChecksumByte")->setCurrentIndex(1);
         d.Get<QCheckBox>("CB_DataId")->setChecked(true);
         d.Combo("Cmb_Algorithm")->setCurrentIndex(0);
       },
       "データIDを使えるのは CRC だけです。"},
      {[](const DialogControls& d) {
         d.Combo("Cmb_ChecksumByte")->setCurrentIndex(1);
         d.Get<QCheckBox>("CB_CoverOthers")->setChecked(false);
         d.Get<QCheckBox>("CB_Cover_2")->setChecked(true);
       },
       "チェックサムのバイトは、チェックサムの対象に含められません。"},
  };
  for (const auto& [change, reason] : cases) {
    const DialogControls d = Open(2);
    d.AliveCounterAndCrc();
    change(d);
    d.Click("Bt_OK");
    EXPECT_EQ(d.Refusal().toStdString(), reason);
    EXPECT_TRUE(d.dialog->isVisible());
    EXPECT_FALSE(window.rules.Any());
    d.Click("Bt_Cancel");
  }
  EXPECT_EQ(Marker(2)->text(), QString());
}

// A rule that can be followed is the row's, marked at the row with what it
// does; the dialog opens with it again, and removing it clears the mark.
TEST_F(RowRulesWindowTest, ARowsRuleIsMarkedAndRemovedAgain) {
  DialogControls d = Open(5);
  d.AliveCounterAndCrc();
  d.Get<QCheckBox>("CB_DataId")->setChecked(true);
  d.Get<QLineEdit>("TB_DataId")->setText(QStringLiteral("3a"));
  d.Click("Bt_OK");
  RowRule expected = kAliveCounterAndCrc;
  expected.checksum->data_id = 0x3A;
  EXPECT_EQ(window.rules.Of(5), expected);
  EXPECT_EQ(Marker(5)->text(), QStringLiteral("CNT+H2F"));
  EXPECT_EQ(Marker(5)->toolTip().toStdString(),
            "カウンター：D7 のビット 0〜3 に 0 から 14 まで 1 ずつ\n"
            "チェックサム：D8 に CRC-8H2F (AUTOSAR)（ほかのすべてのバイト、データID 0x003A）");

  d = Open(5);
  EXPECT_TRUE(d.Get<QGroupBox>("GB_Counter")->isChecked());
  EXPECT_EQ(d.Spin("Spn_Wrap")->value(), 14);
  EXPECT_EQ(d.Get<QLineEdit>("TB_DataId")->text(), QStringLiteral("3A"));
  EXPECT_EQ(d.dialog->Rule(), expected);
  d.Click("Bt_Remove");
  EXPECT_FALSE(window.rules.Any());
  EXPECT_EQ(Marker(5)->text(), QString());
}

// config.dat, the CSV and the workbook carry no rule: the same table writes
// the same bytes with and without rules.
TEST_F(RowRulesWindowTest, ExportsAndTheSettingsFileAreTheSameWithAndWithoutRules) {
  window.Check_Excel_Install();
  window.Form_Load_Initialize();
  Box(QStringLiteral("TB_ID_1"))->setText(QStringLiteral("7DF"));
  Box(QStringLiteral("TB_Data7_1"))->setText(QStringLiteral("A5"));
  const auto files = [&](const std::string& tag) {
    dialogs.answers = {user.File(tag + ".csv"), user.File(tag + ".xls")};
    window.findChild<QAction*>(QStringLiteral("menu_file_export_csv"))->trigger();
    window.findChild<QAction*>(QStringLiteral("menu_file_export_excel"))->trigger();
    window.close();
    return std::vector<std::string>{test::ReadFile(user.File(tag + ".csv")),
                                    test::ReadFile(user.File(tag + ".xls")),
                                    test::ReadFile(FileSaveSystem::SettingFilePath())};
  };
  const auto without = files("without");
  EXPECT_FALSE(test::ReadFile(program.File("config.dat")).empty());
  EXPECT_EQ(test::ReadFile(RowRulesFile::Path()), "");  // nothing changed, nothing written
  const DialogControls d = Open(1);
  d.AliveCounterAndCrc();
  d.Click("Bt_OK");
  const auto with = files("with");
  EXPECT_EQ(with, without);
  EXPECT_NE(test::ReadFile(RowRulesFile::Path()).find("\"CRC-8H2F\""), std::string::npos);
  EXPECT_EQ(window.Tx_CANDATA.CAN_Data7(1), 0xA5);  // the stored bytes stay as typed
}

// A rules file that cannot be written must not lose the rules without a
// word; exporting would not keep them, so the question offers only staying.
TEST_F(RowRulesWindowTest, AFailedSaveOfTheRulesAsksWhetherToStayOpen) {
  std::filesystem::create_directory(RowRulesFile::Path());  // in the way of the file
  const DialogControls d = Open(0);
  d.AliveCounterAndCrc();
  d.Click("Bt_OK");
  window.show();
  window.close();
  EXPECT_TRUE(window.isVisible());
  ASSERT_EQ(messages.asked.size(), 1u);
  EXPECT_EQ(messages.asked[0].text,
            RowRulesFile::Path() + " を保存できませんでした。\r\n理由：" + std::strerror(EISDIR));
  std::filesystem::remove(RowRulesFile::Path());
  window.close();
  EXPECT_FALSE(window.isVisible());
  RowRules saved;
  EXPECT_EQ(RowRulesFile::Load(RowRulesFile::Path(), saved).kind,
            RowRulesFile::Outcome::Kind::Read);
  EXPECT_EQ(saved, window.rules);
}

class RowRulesStartTest : public test::StartedWindow {};

// A damaged rules file is said once at start-up, naming the file and the
// line; the rows go without rules and the file stays until a rule changes.
// The rules written then come back at the next start.
TEST_F(RowRulesStartTest, ADamagedFileIsSaidOnceAndKeptUntilARuleChanges) {
  const std::string path = RowRulesFile::Path();
  const std::string damaged = "{\n  \"format\": 1,\n  \"rows\": [\n    {\"row\": 0}\n  ]\n}\n";
  test::WriteFile(path, damaged);
  ASSERT_TRUE(StartWith(platform::kCanusbLibraryFile));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "行の規則のファイル " + path +
                                        " の 4 行目を読めません：「row」の値が範囲の外です。\r\n"
                                        "どの行も規則なしで送ります。ファイルは、規則を変えるまで"
                                        "そのまま残します。");
  EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Warning);
  EXPECT_FALSE(window->rules.Any());
  window->close();
  EXPECT_EQ(test::ReadFile(path), damaged);

  window.reset();
  messages.shown.clear();
  ASSERT_TRUE(Start());
  EXPECT_EQ(messages.shown.size(), 1u);
  window->Bt_Rules_Click(3);
  DialogControls d(window->rowRulesDialog());
  d.AliveCounterAndCrc();
  d.Click("Bt_OK");
  window->close();
  RowRules expected;
  expected.Set(3, kAliveCounterAndCrc);
  EXPECT_EQ(test::ReadFile(path), RowRulesJson::Text(expected));

  window.reset();
  messages.shown.clear();
  ASSERT_TRUE(Start());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(window->rules, expected);
  EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("Lbl_Rules_3"))->text(),
            QStringLiteral("CNT+H2F"));
}

// While frames go out, a rule set in the dialog takes effect at the row's
// next frame: the counter runs from the new rule's start value on. The
// steps wait for frames, not for time.
TEST_F(RowRulesStartTest, ARuleChangedWhileConnectedTakesEffectAtTheNextFrame) {
  ASSERT_TRUE(StartWith(platform::kCanlibLibraryFile, "kvaser name=\"Kvaser A\"\n"));
  auto& sim = Sim(platform::kCanlibLibraryFile);
  window->device.set_t_ViewCaution(0);
  window->findChild<QLineEdit*>(QStringLiteral("TB_Time_0"))->setText(QStringLiteral("2"));
  window->findChild<QCheckBox*>(QStringLiteral("CB_Send_0"))->setChecked(true);
  window->Screen_To_SendDB();
  window->rules.Set(0, {CounterRule{1, 0, 8, 0, 1, 255}, {}});
  size_t changed_at = 0;
  QTimer watch;
  watch.setInterval(1);
  QObject::connect(&watch, &QTimer::timeout, window.get(), [&] {
    const size_t frames = sim.Frames().size();
    if (changed_at == 0 && frames >= 5) {
      window->Bt_Rules_Click(0);
      DialogControls d(window->rowRulesDialog());
      d.Spin("Spn_Start")->setValue(100);
      changed_at = sim.Frames().size();
      d.Click("Bt_OK");
    } else if (changed_at > 0 && frames >= changed_at + 5) {
      window->Bt_Disconnect_Click();
    }
  });
  watch.start();
  window->connectionArea()->Bt_Connect->click();
  const auto frames = sim.Frames();
  ASSERT_GE(frames.size(), changed_at + 5);
  for (size_t k = 0; k < frames.size(); ++k) {
    const size_t expected = k < changed_at ? k : 100 + (k - changed_at);
    EXPECT_EQ(frames[k].data[0], expected) << k;
  }
}

}  // namespace
}  // namespace telpod
