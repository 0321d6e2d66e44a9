#include "app/bus_load_label.h"

#include <algorithm>

namespace telpod {

namespace {

QString Percent(double percent) {
  return QString::fromStdString(PercentText(percent));
}

}  // namespace

const QColor BusLoadLabel::kBusyColour(200, 110, 0);
const QColor BusLoadLabel::kOverColour(210, 0, 0);

BusLoadLabel::BusLoadLabel(QWidget* parent) : QLabel(parent) {
  setObjectName(QStringLiteral("Lb_BusLoad"));
  setAccessibleName(objectName());
  setToolTip(
      tr("周期送信する行が求めるバス負荷（最悪のビットスタッフィングでの推定）。"
         "接続中は、機器が直近1秒に送信した実測値を括弧内に示します。"));
}

void BusLoadLabel::Show(const BusLoadEstimate& estimate, std::optional<double> achieved_percent) {
  // A row at period 0 goes out at every pass: no percentage can be told.
  const QString asked = estimate.every_pass ? tr("100%超") : Percent(estimate.percent);
  LoadVerdict verdict = estimate.verdict();
  if (achieved_percent) {
    setText(tr("バス負荷 %1（実測 %2）").arg(asked, Percent(*achieved_percent)));
    verdict = std::max(verdict, VerdictOf(*achieved_percent));
  } else {
    setText(tr("バス負荷 %1").arg(asked));
  }
  // The name stays for GUI robots; screen readers read the figures here.
  setAccessibleDescription(text());
  // Only the text colour is set, and only when busy or over: the rest is
  // the window's own.
  QPalette colours;
  if (verdict != LoadVerdict::Fits) {
    colours.setColor(QPalette::WindowText,
                     verdict == LoadVerdict::Over ? kOverColour : kBusyColour);
  }
  setPalette(colours);
}

}  // namespace telpod
