#include "app/caution_banner.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>

namespace telpod {

QPixmap DrawCautionBanner(const QString& words) {
  constexpr int kWidth = 160;
  constexpr int kHeight = 19;
  QPixmap banner(kWidth, kHeight);
  banner.fill(Qt::transparent);
  QPainter p(&banner);
  p.setRenderHint(QPainter::Antialiasing);

  const QPolygonF diamond(
      {QPointF(9.5, 0.5), QPointF(18.5, 9.5), QPointF(9.5, 18.5), QPointF(0.5, 9.5)});
  p.setPen(QPen(Qt::black, 1.2));
  p.setBrush(QColor(255, 210, 0));
  p.drawPolygon(diamond);

  QFont bold = p.font();
  bold.setBold(true);
  bold.setPixelSize(13);
  p.setFont(bold);
  p.drawText(QRect(0, 0, 19, 19), Qt::AlignCenter, QStringLiteral("!"));

  const QRect words_box(23, 0, kWidth - 23, kHeight);
  int size = 12;
  do {
    bold.setPixelSize(size);
  } while (QFontMetrics(bold).horizontalAdvance(words) > words_box.width() && --size > 7);
  p.setFont(bold);
  p.setPen(QColor(200, 0, 0));
  p.drawText(words_box, Qt::AlignVCenter | Qt::AlignLeft, words);
  return banner;
}

}  // namespace telpod
