#include "app/bit_rate_legend.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <array>

#include "devices/family_registry.h"

namespace telpod {

namespace {

struct Tint {
  QColor colour;
  const char* name;
};

// In the legend's order.
const std::array<Tint, 3> kTints{{{QColor(192, 0, 192), QT_TRANSLATE_NOOP("BitRateLegend", "紫")},
                                  {QColor(0, 0, 255), QT_TRANSLATE_NOOP("BitRateLegend", "青")},
                                  {QColor(0, 128, 0), QT_TRANSLATE_NOOP("BitRateLegend", "緑")}}};

QString Translated(const char* text) {
  return QCoreApplication::translate("BitRateLegend", text);
}

bool OfferedByEveryFamily(const BitRate& rate) {
  for (size_t row = 0; row < FamilyRegistry().size(); ++row) {
    if (!rate.SupportedBy(FamilyOfRow(row))) return false;
  }
  return true;
}

std::optional<Tint> TintOf(const BitRate& rate) {
  if (OfferedByEveryFamily(rate)) return std::nullopt;
  if (rate.SupportedBy(Family::Interface)) return kTints[2];
  return rate.SupportedBy(Family::Kvaser) ? kTints[0] : kTints[1];
}

// "CANUSB、Kvaser", or "CANUSBのみ" for a single family.
QString FamiliesText(const BitRate& rate) {
  QStringList names;
  for (size_t row = 0; row < FamilyRegistry().size(); ++row) {
    if (rate.SupportedBy(FamilyOfRow(row))) names << QString::fromUtf8(FamilyRegistry()[row]->name);
  }
  if (names.size() == 1)
    return Translated(QT_TRANSLATE_NOOP("BitRateLegend", "%1のみ")).arg(names[0]);
  return names.join(Translated(QT_TRANSLATE_NOOP("BitRateLegend", "、")));
}

}  // namespace

std::optional<QColor> CaptionColour(const BitRate& rate) {
  const auto tint = TintOf(rate);
  return tint ? std::optional<QColor>(tint->colour) : std::nullopt;
}

std::vector<LegendLine> BitRateLegend(std::span<const BitRate> rates) {
  std::vector<LegendLine> lines;
  for (const Tint& tint : kTints) {
    for (const BitRate& rate : rates) {
      const auto own = TintOf(rate);
      const bool named = std::ranges::any_of(
          lines, [&](const LegendLine& line) { return line.offered_by == rate.offered_by; });
      if (!own || own->colour != tint.colour || named) continue;
      lines.push_back({tint.colour, rate.offered_by,
                       Translated(QT_TRANSLATE_NOOP("BitRateLegend", "%1・・・%2"))
                           .arg(Translated(tint.name), FamiliesText(rate))});
    }
  }
  return lines;
}

std::vector<LegendLine> BitRateLegend() {
  const auto rates = OfferedBitRates();
  return BitRateLegend(rates);
}

}  // namespace telpod
