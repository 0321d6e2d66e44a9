#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QRegularExpression>

#include "app/bit_rate_legend.h"
#include "app/form1.h"
#include "window_fakes.h"

namespace telpod {
namespace {

class DialogsTest : public ::testing::Test {
 protected:
  DialogsTest() : window(WindowPorts{nullptr, nullptr, &urls}) {
    window.Form_Load_Initialize();
    window.show();
  }

  FormCommonSetting* OpenSettings() {
    window.findChild<QAction*>(QStringLiteral("menu_common_setting"))->trigger();
    FormCommonSetting* dialog = window.formCommonSetting();
    EXPECT_NE(dialog, nullptr);
    EXPECT_FALSE(window.isEnabled());
    EXPECT_TRUE(dialog->isEnabled());
    return dialog;
  }
  void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  FormCommonSetting* Choose(int rate) {
    FormCommonSetting* dialog = OpenSettings();
    dialog->RB_BitRate(rate)->setChecked(true);
    return dialog;
  }
  int Checked(FormCommonSetting* dialog) {
    for (int i = 0; i < 9; ++i) {
      if (dialog->RB_BitRate(i)->isChecked()) return i;
    }
    return -1;
  }

  test::RecordingUrls urls;
  Form1 window;
};

TEST_F(DialogsTest, SettingsShowTheStoredChoiceAndOkStoresIt) {
  FormCommonSetting* dialog = OpenSettings();
  EXPECT_EQ(Checked(dialog), 2);
  EXPECT_TRUE(dialog->CB_ViewCaution()->isChecked());
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("TELPOD Ver1.11　　- 共通設定 -"));

  dialog->RB_BitRate(8)->setChecked(true);
  dialog->CB_ViewCaution()->setChecked(false);
  dialog->Bt_OK_Click();
  Settle();
  EXPECT_EQ(window.device.t_bitRate(), 8);
  EXPECT_EQ(window.device.t_ViewCaution(), 0);
  EXPECT_TRUE(window.isEnabled());

  dialog = OpenSettings();
  EXPECT_EQ(Checked(dialog), 8);
  EXPECT_FALSE(dialog->CB_ViewCaution()->isChecked());
  dialog->close();

  // A stored index outside the table shows as no selection and survives OK.
  window.device.set_t_bitRate(12);
  dialog = OpenSettings();
  EXPECT_EQ(Checked(dialog), -1);
  dialog->Bt_OK_Click();
  EXPECT_EQ(window.device.t_bitRate(), 12);
}

// The close box and Cancel store nothing; a resize reads the stored choice
// again.
TEST_F(DialogsTest, OnlyOkStoresAChoice) {
  for (void (*leave)(FormCommonSetting*) : {+[](FormCommonSetting* d) { d->close(); },
                                            +[](FormCommonSetting* d) { d->Bt_Cancell_Click(); }}) {
    leave(Choose(5));
    Settle();
    EXPECT_EQ(window.device.t_bitRate(), 2);
    EXPECT_TRUE(window.isEnabled());
  }
  FormCommonSetting* dialog = Choose(0);
  dialog->resize(dialog->size() + QSize(30, 30));
  Settle();
  EXPECT_EQ(Checked(dialog), 2);
}

// The legend names the families that the connections' rate table gives
// each coloured rate, in the colour of that rate's caption.
TEST_F(DialogsTest, RatesOnlySomeFamiliesOfferAreColouredAsTheLegendSays) {
  FormCommonSetting* dialog = OpenSettings();
  const auto colour = [](const QWidget* w) { return w->palette().color(QPalette::WindowText); };
  QStringList legend, captions;
  for (auto* label : dialog->findChildren<QLabel*>(QRegularExpression("^Lb_BitRateLegend_"))) {
    legend << label->text() + " " + colour(label).name();
  }
  EXPECT_EQ(legend, (QStringList{"紫・・・CANUSB、Kvaser、SocketCAN、SLCAN #c000c0",
                                 "青・・・CANUSB、SocketCAN、SLCAN #0000ff"}));
  for (int i = 0; i < 9; ++i) captions << colour(dialog->RB_BitRate(i)).name();
  const QString plain = colour(dialog).name();
  EXPECT_EQ(captions, (QStringList{plain, "#0000ff", plain, plain, plain, plain, "#0000ff",
                                   "#c000c0", plain}));
}

// The rule behind the legend gives the texts of the time when only CANUSB
// offered 800k and 20k, and colours a rate only Interface boards lack too.
TEST(BitRateLegend, FollowsTheTableItIsGiven) {
  const int32_t all = kEveryFamily;
  const BitRate older[] = {{0, 1'000'000, "1M bps", all},
                           {1, 800'000, "800k bps", Offered({Family::CANUSB})},
                           {6, 20'000, "20k bps", Offered({Family::CANUSB})},
                           {7, 10'000, "10k bps", Offered({Family::CANUSB, Family::Kvaser})},
                           {8, 125'000, "125k bps", all & ~DriverMaskBit(Family::SocketCAN)}};
  QStringList texts;
  for (const LegendLine& line : BitRateLegend(older)) texts << line.text;
  EXPECT_EQ(texts, (QStringList{"紫・・・CANUSB、Kvaser", "青・・・CANUSBのみ",
                                "緑・・・CANUSB、Interface、Kvaser、SLCAN"}));
  EXPECT_EQ(CaptionColour(older[0]), std::nullopt);
  EXPECT_EQ(CaptionColour(older[4]), QColor(0, 128, 0));
}

void Mouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(3, 3), target->mapToGlobal(QPointF(3, 3)), button, held,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(target, &event);
}

// One window, dragged by the left button only, whose link opens the
// homepage and whose OK hides it.
TEST_F(DialogsTest, VersionWindowDragsOpensTheLinkAndHidesOnOk) {
  window.device.set_Homepage_URL("https://example.org/telpod");
  QAction* menu = window.findChild<QAction*>(QStringLiteral("menu_help_version"));
  menu->trigger();
  FormVersion* version = window.formVersion();
  ASSERT_NE(version, nullptr);
  EXPECT_TRUE(version->isVisible());
  auto* title = version->findChild<QLabel*>(QStringLiteral("Lb_App_Title"));
  EXPECT_EQ(title->text(), QStringLiteral("TELPOD Ver1.11"));
  EXPECT_EQ(version->findChild<QLabel*>(QStringLiteral("Lb_copylight"))->text().toStdString(),
            window.device.Copy_light());
  int drags = 0;
  version->set_drag_starter([&] { ++drags; });
  Mouse(title, QEvent::MouseMove, Qt::NoButton, Qt::RightButton);
  EXPECT_EQ(drags, 0);
  Mouse(title, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
  Mouse(version, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(drags, 2);

  auto* link = version->findChild<QLabel*>(QStringLiteral("Lb_URL"));
  Mouse(link, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_TRUE(urls.opened.empty());
  Mouse(link, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
  EXPECT_TRUE(urls.opened.empty());
  Mouse(link, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
  ASSERT_EQ(urls.opened.size(), 1u);
  EXPECT_EQ(urls.opened[0], "https://example.org/telpod");
  EXPECT_EQ(drags, 2);

  auto* ok = version->findChild<QLabel*>(QStringLiteral("Lb_OK"));
  Mouse(ok, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
  Mouse(ok, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(version->isVisible());
  menu->trigger();
  EXPECT_EQ(window.formVersion(), version);
  EXPECT_TRUE(version->isVisible());
}

}  // namespace
}  // namespace telpod
