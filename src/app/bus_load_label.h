#pragma once

#include <QLabel>
#include <optional>

#include "model/bus_load.h"

namespace telpod {

// The bus load under the status and rate: what the periodic rows ask of the bus
// and, while connected, what the device took over the last second; amber
// when busy, red over 100%.
class BusLoadLabel : public QLabel {
  Q_OBJECT

 public:
  explicit BusLoadLabel(QWidget* parent = nullptr);

  void Show(const BusLoadEstimate& estimate, std::optional<double> achieved_percent);

  static const QColor kBusyColour;
  static const QColor kOverColour;
};

}  // namespace telpod
