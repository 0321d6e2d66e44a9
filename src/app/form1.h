#pragma once

#include <QMainWindow>

#include "send/can_senddb.h"
#include "settings/elm327_info.h"

namespace telpod {

// The main window. It owns the objects every part of the program shares.
class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);

  ELM327_Info device;
  CAN_SendDB Tx_CANDATA;
  int32_t RxFlag = 0;
};

}  // namespace telpod
