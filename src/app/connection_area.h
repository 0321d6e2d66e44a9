#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace telpod {

class BusLoadLabel;

// The connection controls of the main window: device list, device
// information, Connect and Disconnect, status and bit-rate boxes, the bus
// load under them, and the caution banner.
class ConnectionArea : public QWidget {
  Q_OBJECT

 public:
  explicit ConnectionArea(QWidget* parent = nullptr);

  QComboBox* Cmb_Serect_Device;
  QLineEdit* TB_ODB_Hard_Version;
  QPushButton* Bt_Connect;
  QPushButton* Bt_Disconnect;
  QLineEdit* TB_Status;
  BusLoadLabel* Lb_BusLoad;
  QLineEdit* TB_Protocol;
  QLabel* Pic_Caution;
};

}  // namespace telpod
