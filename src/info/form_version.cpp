#include "info/form_version.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace telpod {

namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 170;
const QColor kBackground(24, 44, 84);

// The OK button's picture: a rounded plate the "OK" label sits on.
QPixmap OkPlate() {
  QPixmap plate(72, 26);
  plate.fill(Qt::transparent);
  QPainter p(&plate);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient shade(0, 0, 0, 26);
  shade.setColorAt(0, QColor(90, 140, 220));
  shade.setColorAt(1, QColor(40, 80, 160));
  p.setBrush(shade);
  p.setPen(QPen(QColor(200, 220, 255), 1));
  p.drawRoundedRect(QRectF(0.5, 0.5, 71, 25), 6, 6);
  return plate;
}

// The link picture: a small globe.
QPixmap Globe() {
  QPixmap globe(18, 18);
  globe.fill(Qt::transparent);
  QPainter p(&globe);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::white, 1.2));
  p.setBrush(QColor(60, 150, 230));
  p.drawEllipse(QRectF(1, 1, 16, 16));
  p.drawEllipse(QRectF(5.5, 1, 7, 16));
  p.drawLine(QPointF(1, 9), QPointF(17, 9));
  return globe;
}

}  // namespace

FormVersion::FormVersion(const ELM327_Info& device, platform::UrlOpener& urls, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), device_(device), urls_(urls) {
  setObjectName(QStringLiteral("FormVersion"));
  setFixedSize(kWidth, kHeight);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kBackground);
  setPalette(palette);
  setAutoFillBackground(true);
  drag_starter_ = [this] {
    if (windowHandle()) windowHandle()->startSystemMove();
  };

  auto* Shape1 = new QFrame(this);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setAccessibleName(Shape1->objectName());
  Shape1->setFrameShape(QFrame::Box);
  Shape1->setStyleSheet(QStringLiteral("color: rgb(120, 160, 230);"));
  Shape1->setGeometry(6, 6, kWidth - 12, kHeight - 12);
  Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

  setWindowTitle(QString::fromStdString(device_.Application_title()));
  Lb_App_Title_ = AddLabel("Lb_App_Title", windowTitle());
  QFont title = Lb_App_Title_->font();
  title.setPointSize(title.pointSize() + 5);
  title.setBold(true);
  Lb_App_Title_->setFont(title);
  Lb_App_Title_->setGeometry(24, 20, kWidth - 48, 32);
  Lb_copylight_ = AddLabel("Lb_copylight", QString::fromStdString(device_.Copy_light()));
  Lb_copylight_->setGeometry(24, 60, kWidth - 48, 20);
  Lb_URL_ = AddLabel("Lb_URL", QString::fromLatin1(ELM327_Info::kHomepageURL));
  Lb_URL_->setGeometry(48, 90, kWidth - 72, 20);
  Lb_URL_->setCursor(Qt::PointingHandCursor);
  PicURL_ = AddLabel("PicURL", QString());
  PicURL_->setPixmap(Globe());
  PicURL_->setGeometry(24, 91, 18, 18);
  PicURL_->setCursor(Qt::PointingHandCursor);
  Img_OK_ = AddLabel("Img_OK", QString());
  Img_OK_->setPixmap(OkPlate());
  Img_OK_->setGeometry(kWidth - 96, kHeight - 44, 72, 26);
  Lb_OK_ = AddLabel("Lb_OK", tr("OK"));
  Lb_OK_->setAlignment(Qt::AlignCenter);
  Lb_OK_->setGeometry(Img_OK_->geometry());
}

QLabel* FormVersion::AddLabel(const char* name, const QString& text) {
  auto* label = new QLabel(text, this);
  label->setObjectName(QString::fromLatin1(name));
  label->setAccessibleName(text.isEmpty() ? label->objectName() : text);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  label->setPalette(palette);
  label->setMouseTracking(true);
  label->installEventFilter(this);
  return label;
}

void FormVersion::StartDrag() {
  if (drag_starter_) drag_starter_();
}

void FormVersion::Img_OK_Click() {
  hide();
}

bool FormVersion::eventFilter(QObject* watched, QEvent* event) {
  const bool left_held =
      (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress) &&
      (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton);
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
      (watched == Img_OK_ || watched == Lb_OK_)) {
    Img_OK_Click();
    return true;
  }
  if (event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == Lb_URL_) {
      urls_.Open(device_.Homepage_URL());
      return true;
    }
  }
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && watched == PicURL_) {
    urls_.Open(ELM327_Info::kHomepageURL);  // the maker's own page, whatever the settings say
    return true;
  }
  if (event->type() == QEvent::MouseMove && left_held &&
      (watched == Lb_App_Title_ || watched == Lb_copylight_ || watched == Lb_OK_ ||
       watched == Img_OK_)) {
    StartDrag();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void FormVersion::mousePressEvent(QMouseEvent* event) {
  event->accept();
}

void FormVersion::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) StartDrag();
}

}  // namespace telpod
