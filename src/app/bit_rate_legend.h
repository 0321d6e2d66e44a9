#pragma once

#include <QColor>
#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "model/bit_rate_table.h"

namespace telpod {

// One line of the settings dialog's colour legend: the caption colour of
// the rates that only some families offer, and which families those are
// ("紫・・・CANUSB、Kvaser", "青・・・CANUSBのみ").
struct LegendLine {
  QColor colour;
  int32_t offered_by;
  QString text;
};

// A rate's caption colour: purple when Interface boards lack it but Kvaser
// offers it, blue when both lack it, green when Interface boards offer it
// but another family does not; none when every family offers it.
std::optional<QColor> CaptionColour(const BitRate& rate);

// One line per set of families that the coloured rates of `rates` name,
// purple, blue, green, each in table order; the families named are the
// family table's.
std::vector<LegendLine> BitRateLegend(std::span<const BitRate> rates);
// The legend of the rates the families offer.
std::vector<LegendLine> BitRateLegend();

}  // namespace telpod
