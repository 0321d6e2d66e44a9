#include "app/connection_area.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/bus_load_label.h"
#include "app/caution_banner.h"

namespace telpod {

namespace {

template <typename W>
W* Named(W* w, const char* name, bool accessible) {
  w->setObjectName(QString::fromLatin1(name));
  if (accessible) w->setAccessibleName(QString::fromLatin1(name));
  return w;
}

QLineEdit* ReadOnlyBox(QWidget* parent, const char* name) {
  auto* box = Named(new QLineEdit(parent), name, true);
  box->setReadOnly(true);
  return box;
}

}  // namespace

ConnectionArea::ConnectionArea(QWidget* parent) : QWidget(parent) {
  Cmb_Serect_Device = Named(new QComboBox(this), "Cmb_Serect_Device", true);
  Cmb_Serect_Device->setMinimumWidth(220);
  TB_ODB_Hard_Version = ReadOnlyBox(this, "TB_ODB_Hard_Version");
  Bt_Connect = Named(new QPushButton(tr("接続"), this), "Bt_Connect", false);
  Bt_Disconnect = Named(new QPushButton(tr("切断"), this), "Bt_Disconnect", false);
  TB_Status = ReadOnlyBox(this, "TB_Status");
  Lb_BusLoad = new BusLoadLabel(this);
  TB_Protocol = ReadOnlyBox(this, "TB_Protocol");
  TB_Protocol->setText(QStringLiteral("---"));
  TB_Protocol->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  const QString protocol_tip =
      tr("【通信モード】　通信速度の設定は、[ツール(T)] - [共通設定(S)] で変更できます");
  TB_Protocol->setToolTip(protocol_tip);
  // The banner sits in a holder of its own size, so that showing it never
  // moves the rows below.
  auto* banner_holder = new QWidget(this);
  banner_holder->setFixedSize(160, 19);
  Pic_Caution = Named(new QLabel(banner_holder), "Pic_Caution", true);
  Pic_Caution->setPixmap(DrawCautionBanner(tr("ウィンドウに触れるな!!")));
  Pic_Caution->setFixedSize(160, 19);
  Pic_Caution->setToolTip(
      tr("接続中にウィンドウを動かしたり、メニューバーを操作すると、受信が途絶します。"));
  Pic_Caution->hide();

  auto* protocol_label = new QLabel(tr("通信速度"), this);
  protocol_label->setToolTip(protocol_tip);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 6, 6, 6);
  grid->addWidget(new QLabel(tr("機器No."), this), 0, 0);
  grid->addWidget(Cmb_Serect_Device, 0, 1);
  grid->addWidget(Bt_Connect, 0, 2);
  grid->addWidget(Bt_Disconnect, 0, 3);
  grid->addWidget(new QLabel(tr("機器情報"), this), 1, 0);
  grid->addWidget(TB_ODB_Hard_Version, 1, 1, 1, 3);
  grid->addWidget(new QLabel(tr("ステータス"), this), 2, 0);
  grid->addWidget(TB_Status, 2, 1);
  grid->addWidget(protocol_label, 2, 2);
  grid->addWidget(TB_Protocol, 2, 3);
  // The load's text grows while connected: on a line of its own under the
  // status and rate, so that it never narrows the status box.
  auto* below = new QHBoxLayout;
  below->addWidget(banner_holder);
  below->addStretch(1);
  below->addWidget(Lb_BusLoad);
  grid->addLayout(below, 3, 1, 1, 3);
  grid->setColumnStretch(1, 1);
}

}  // namespace telpod
