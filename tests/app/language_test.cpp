#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <string>

#include "app/connection_area.h"
#include "app/installed_language.h"
#include "platform/built_in_english.h"
#include "send/connection_skeleton.h"
#include "started_window.h"

namespace telpod {
namespace {

using platform::Language;

const QString kBuiltTranslations = QStringLiteral(TELPOD_PROGRAM_DIR "/translations");

struct LanguageCase {
  Language language;
  const char* connect;
  const char* file_menu;
  const char* device_label;
  std::string export_title;
  std::string exported;
  const char* bus_load;
  const char* bus_load_every_pass;
};

void PrintTo(const LanguageCase& c, std::ostream* os) {
  *os << platform::LanguageCode(c.language);
}

class LanguageTest : public test::StartedWindow,
                     public ::testing::WithParamInterface<LanguageCase> {
 protected:
  InstalledLanguage installed{GetParam().language, kBuiltTranslations};
};

TEST_P(LanguageTest, CaptionsAndTheEnginesMessagesSpeakTheChosenLanguage) {
  const LanguageCase& c = GetParam();
  ASSERT_TRUE(installed.loaded());
  ASSERT_TRUE(StartWith(platform::kCanusbLibraryFile));
  EXPECT_EQ(window->connectionArea()->Bt_Connect->text().toStdString(), c.connect);
  EXPECT_EQ(window->findChild<QMenu*>(QStringLiteral("menu_file"))->title().toStdString(),
            c.file_menu);
  bool labelled = false;
  for (const QLabel* label : window->connectionArea()->findChildren<QLabel*>()) {
    labelled = labelled || label->text().toStdString() == c.device_label;
  }
  EXPECT_TRUE(labelled) << c.device_label;
  const QLabel* bus_load = window->connectionArea()->findChild<QLabel*>("Lb_BusLoad");
  EXPECT_EQ(bus_load->text().toStdString(), c.bus_load);
  window->Tx_CANDATA.set_CAN_SendCycleOperation(2, 1);
  window->Tx_CANDATA.set_CAN_SendCycleTime(2, 0.0);  // at every pass of the loop
  window->SendDB_To_Screen();
  EXPECT_EQ(bus_load->text().toStdString(), c.bus_load_every_pass);

  // The export's message is composed outside the window, through the hook.
  dialogs.answers.push_back(program.File("rows.csv"));
  window->findChild<QAction*>(QStringLiteral("menu_file_export_csv"))->trigger();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, c.export_title);
  EXPECT_EQ(messages.shown[0].text, c.exported + "\r\nrows.csv");
}

INSTANTIATE_TEST_SUITE_P(
    BothLanguages, LanguageTest,
    ::testing::Values(LanguageCase{Language::Japanese, "接続", "ファイル(&F)", "機器No.",
                                   "設定 Export", "設定をcsvでエクスポートしました。",
                                   "バス負荷 0.0%", "バス負荷 100%超"},
                      LanguageCase{Language::English, "Connect", "&File", "Device No.",
                                   "Export settings", "The settings were exported as CSV.",
                                   "Bus load 0.0%", "Bus load over 100%"}),
    [](const auto& info) { return std::string(platform::LanguageCode(info.param.language)); });

// The windows read the .qm, programs without Qt the compiled-in table: both
// are made of the same .ts and must give the same words.
TEST(TranslationFiles, TheQmAndTheBuiltInTableAgreeOnEveryText) {
  const InstalledLanguage english(Language::English, kBuiltTranslations);
  ASSERT_TRUE(english.loaded());
  const auto texts = platform::EnglishTexts();
  ASSERT_FALSE(texts.empty());
  for (const platform::TranslatedText& t : texts) {
    const std::string context(t.context), source(t.source);
    EXPECT_EQ(QCoreApplication::translate(context.c_str(), source.c_str()).toStdString(),
              t.translation)
        << source;
  }
}

TEST(TranslationFiles, WithoutItsTranslationTheProgramStaysJapanese) {
  const test::TempFolder empty;
  const InstalledLanguage english(Language::English, QString::fromStdString(empty.path()));
  EXPECT_FALSE(english.loaded());
  EXPECT_EQ(platform::Tr(status_text::kRunning), "通信中");
  EXPECT_EQ(QCoreApplication::translate("telpod::ConnectionArea", "接続"), QStringLiteral("接続"));
}

}  // namespace
}  // namespace telpod
