#include "app/message_rows.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/row_rule_text.h"
#include "app/row_text_box.h"
#include "model/row_fields.h"

namespace telpod {

namespace {

constexpr int32_t kMaxExtendedId = 0x1FFFFFFF;
constexpr double kMinPeriod = 1.0;
constexpr double kMaxPeriod = 9999.0;
constexpr int kTwipsPerPixel = 15;
constexpr int kRowBoxHeight = 300 / kTwipsPerPixel;

// Column widths in pixels, shared by the header and the rows so they line up.
namespace width {
constexpr int kExtension = 26;
constexpr int kId = 84;
constexpr int kDlc = 30;
constexpr int kData = 30;
constexpr int kSend = 52;
constexpr int kTime = 48;
constexpr int kPeriodic = 44;
constexpr int kRules = 24;
constexpr int kRulesMarker = 64;
}  // namespace width

constexpr int kSpacing = 3;
constexpr QMargins kRowMargins(6, 3, 6, 3);

const QColor kEvenRow(220, 233, 244);
const QColor kOddRow(235, 237, 253);
const QColor kExtensionBox(235, 241, 255);

QString Name(const char* base, int i) {
  return QStringLiteral("%1_%2").arg(base).arg(i);
}

// Text boxes and caption-less controls carry their name for accessibility
// tools and GUI robots too.
template <typename W>
W* Named(W* w, const QString& name, bool accessible) {
  w->setObjectName(name);
  if (accessible) w->setAccessibleName(name);
  return w;
}

QFont RowFont() {
  QFont font(QStringLiteral("Verdana"));
  font.setStyleHint(QFont::SansSerif);
  return font;
}

RowTextBox* TextBox(const QString& name, int max_length, const char* design_text, int w) {
  auto* box = Named(new RowTextBox(QString::fromLatin1(design_text), max_length), name, true);
  box->setFixedWidth(w);
  box->setFont(RowFont());
  return box;
}

void Paint(QWidget* w, const QColor& colour) {
  QPalette palette = w->palette();
  palette.setColor(QPalette::Window, colour);
  w->setPalette(palette);
  w->setAutoFillBackground(true);
}

QString Text(const QLineEdit* box) {
  return box->text();
}

// A DLC as the box may hold it: a whole number 1..8.
std::optional<uint8_t> TypedDlc(const QLineEdit* box) {
  const auto dlc = ParseDecimal(Text(box).toStdString());
  if (!dlc || std::floor(*dlc) != *dlc || *dlc < 1 || *dlc > CAN_SendDB::kDataBytes) {
    return std::nullopt;
  }
  return static_cast<uint8_t>(*dlc);
}

}  // namespace

MessageRows::MessageRows(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(BuildHeader());
  for (int i = 0; i < CAN_SendDB::kRows; ++i) {
    rows_[static_cast<size_t>(i)] = BuildRow(i);
    layout->addWidget(rows_[static_cast<size_t>(i)].FrameMsg);
  }
}

QWidget* MessageRows::BuildHeader() {
  auto* header = new QWidget(this);
  auto* line = new QHBoxLayout(header);
  line->setContentsMargins(kRowMargins);
  line->setSpacing(kSpacing);
  auto label = [&](const QString& text, int w) {
    auto* l = new QLabel(text, header);
    l->setAlignment(Qt::AlignCenter);
    l->setFixedWidth(w);
    line->addWidget(l);
  };
  label(tr("EX"), width::kExtension);
  label(tr("ID"), width::kId);
  label(tr("DLC"), width::kDlc);
  label(tr("DATA"),
        CAN_SendDB::kDataBytes * width::kData + (CAN_SendDB::kDataBytes - 1) * kSpacing);
  auto* spacer = new QWidget(header);
  spacer->setFixedWidth(width::kSend);
  line->addWidget(spacer);
  label(tr("ms"), width::kTime);
  auto* periodic = new QWidget(header);
  periodic->setFixedWidth(width::kPeriodic + width::kRules + kSpacing);
  line->addWidget(periodic);
  label(tr("規則"), width::kRulesMarker);
  line->addStretch(1);
  return header;
}

MessageRows::Row MessageRows::BuildRow(int i) {
  Row row{};
  row.FrameMsg = Named(new QFrame(this), Name("FrameMsg", i), true);
  row.FrameMsg->setFrameShape(QFrame::StyledPanel);
  auto* line = new QHBoxLayout(row.FrameMsg);
  line->setContentsMargins(kRowMargins);
  line->setSpacing(kSpacing);

  row.CB_Extension = Named(new QCheckBox(row.FrameMsg), Name("CB_Extension", i), true);
  row.CB_Extension->setFixedWidth(width::kExtension);
  row.TB_ID = TextBox(Name("TB_ID", i), 8, "60000000", width::kId);
  row.TB_DLC = TextBox(Name("TB_DLC", i), 1, "8", width::kDlc);
  line->addWidget(row.CB_Extension);
  line->addWidget(row.TB_ID);
  line->addWidget(row.TB_DLC);
  for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n) {
    auto* data = TextBox(QStringLiteral("TB_Data%1_%2").arg(n).arg(i), 2, "FF", width::kData);
    row.TB_Data[static_cast<size_t>(n - 1)] = data;
    line->addWidget(data);
  }
  row.Bt_Send = Named(new QPushButton(tr("Send"), row.FrameMsg), Name("Bt_Send", i), false);
  row.Bt_Send->setFixedWidth(width::kSend);
  row.TB_Time = TextBox(Name("TB_Time", i), 4, "9000", width::kTime);
  row.CB_Send = Named(new QCheckBox(tr("RT"), row.FrameMsg), Name("CB_Send", i), false);
  row.CB_Send->setFixedWidth(width::kPeriodic);
  line->addWidget(row.Bt_Send);
  line->addWidget(row.TB_Time);
  line->addWidget(row.CB_Send);
  row.Bt_Rules = Named(new QToolButton(row.FrameMsg), Name("Bt_Rules", i), true);
  row.Bt_Rules->setText(QStringLiteral("..."));
  row.Bt_Rules->setToolTip(tr("カウンターとチェックサム"));
  row.Bt_Rules->setFixedWidth(width::kRules);
  row.Lbl_Rules = Named(new QLabel(row.FrameMsg), Name("Lbl_Rules", i), true);
  row.Lbl_Rules->setFixedWidth(width::kRulesMarker);
  line->addWidget(row.Bt_Rules);
  line->addWidget(row.Lbl_Rules);
  line->addStretch(1);

  connect(row.Bt_Send, &QPushButton::clicked, this, [this, i] { emit sendClicked(i); });
  connect(row.Bt_Rules, &QToolButton::clicked, this, [this, i] { emit rulesClicked(i); });
  for (QLineEdit* box : row.FrameMsg->findChildren<QLineEdit*>()) {
    connect(box, &QLineEdit::textEdited, this, &MessageRows::edited);
  }
  for (QCheckBox* box : {row.CB_Extension, row.CB_Send}) {
    connect(box, &QCheckBox::toggled, this, &MessageRows::edited);
  }
  return row;
}

void MessageRows::ApplyRowStyles() {
  for (int i = 0; i < CAN_SendDB::kRows; ++i) {
    const Row& row = rows_[static_cast<size_t>(i)];
    row.TB_ID->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row.TB_DLC->setAlignment(Qt::AlignCenter);
    row.TB_Time->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row.TB_ID->setFixedHeight(kRowBoxHeight);
    row.TB_DLC->setFixedHeight(kRowBoxHeight);
    Paint(row.FrameMsg, i % 2 == 0 ? kEvenRow : kOddRow);
    Paint(row.CB_Extension, kExtensionBox);
  }
}

void MessageRows::SendDB_To_Screen(const CAN_SendDB& db) {
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    const Row& row = rows_[static_cast<size_t>(i)];
    // Only 1 means on to the send loop, so only 1 shows as ticked.
    row.CB_Send->setChecked(db.CAN_SendCycleOperation(i) == 1);
    row.CB_Extension->setChecked(db.CAN_Send29(i) == 1);
    row.TB_Time->ShowValue(QString::fromStdString(FormatDecimal(db.CAN_SendCycleTime(i))));
    row.TB_ID->ShowValue(QString::fromStdString(FormatHex(static_cast<uint32_t>(db.CAN_ID(i)))));
    row.TB_DLC->ShowValue(QString::number(db.CAN_DLC(i)));
    for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n) {
      row.TB_Data[static_cast<size_t>(n - 1)]->ShowValue(
          QString::fromStdString(FormatByteHex(db.CAN_Data(n, i))));
    }
  }
}

void MessageRows::Screen_To_SendDB(CAN_SendDB& db) const {
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    const Row& row = rows_[static_cast<size_t>(i)];
    db.set_CAN_SendCycleOperation(i, row.CB_Send->isChecked() ? 1 : 0);
    db.set_CAN_Send29(i, row.CB_Extension->isChecked() ? 1 : 0);

    if (const auto period = ParseDecimal(Text(row.TB_Time).toStdString());
        period && *period >= kMinPeriod && *period <= kMaxPeriod) {
      db.set_CAN_SendCycleTime(i, *period);
    }
    // The 11-bit limit is the send loop's business; any 29-bit value is kept.
    if (const auto id = ParseHex(Text(row.TB_ID).toStdString());
        id && *id >= 1 && *id <= static_cast<uint32_t>(kMaxExtendedId)) {
      db.set_CAN_ID(i, static_cast<int32_t>(*id));
    }
    if (const auto dlc = TypedDlc(row.TB_DLC)) db.set_CAN_DLC(i, *dlc);
    for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n) {
      if (const auto byte = ParseHex(Text(row.TB_Data[static_cast<size_t>(n - 1)]).toStdString());
          byte && *byte <= 0xFF) {
        db.set_CAN_Data(n, i, static_cast<uint8_t>(*byte));
      }
    }
  }
}

void MessageRows::ShowRules(const RowRules& rules) {
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    QLabel* marker = rows_[static_cast<size_t>(i)].Lbl_Rules;
    marker->setText(RowRuleText::Marker(rules.Of(i)));
    marker->setToolTip(RowRuleText::Description(rules.Of(i)));
  }
}

int MessageRows::Dlc(int16_t i, const CAN_SendDB& db) const {
  return TypedDlc(rows_[static_cast<size_t>(i)].TB_DLC).value_or(db.CAN_DLC(i));
}

}  // namespace telpod
