#include "app/row_rule_text.h"

#include <QStringList>

namespace telpod {
namespace {

QString ByteName(int byte) {
  return QStringLiteral("D%1").arg(byte);
}

QString ShortName(ChecksumAlgorithm algorithm) {
  switch (algorithm) {
    case ChecksumAlgorithm::Xor:
      return QStringLiteral("XOR");
    case ChecksumAlgorithm::Sum:
      return QStringLiteral("SUM");
    case ChecksumAlgorithm::Crc8SaeJ1850:
      return QStringLiteral("J1850");
    case ChecksumAlgorithm::Crc8H2F:
      return QStringLiteral("H2F");
  }
  return {};
}

}  // namespace

QString RowRuleText::Marker(const RowRule& rule) {
  QStringList parts;
  if (rule.counter) parts << QStringLiteral("CNT");
  if (rule.checksum) parts << ShortName(rule.checksum->algorithm);
  return parts.join(QLatin1Char('+'));
}

QString RowRuleText::AlgorithmName(ChecksumAlgorithm algorithm) {
  switch (algorithm) {
    case ChecksumAlgorithm::Xor:
      return tr("XOR（排他的論理和）");
    case ChecksumAlgorithm::Sum:
      return tr("SUM（和の下位 8 ビット）");
    case ChecksumAlgorithm::Crc8SaeJ1850:
      return QStringLiteral("CRC-8 SAE J1850");
    case ChecksumAlgorithm::Crc8H2F:
      return QStringLiteral("CRC-8H2F (AUTOSAR)");
  }
  return {};
}

QString RowRuleText::Description(const RowRule& rule) {
  QStringList lines;
  if (const auto& c = rule.counter) {
    lines << tr("カウンター：%1 のビット %2〜%3 に %4 から %5 まで %6 ずつ")
                 .arg(ByteName(c->byte))
                 .arg(c->first_bit)
                 .arg(c->first_bit + c->bits - 1)
                 .arg(c->start)
                 .arg(c->wrap)
                 .arg(c->step);
  }
  if (const auto& s = rule.checksum) {
    QStringList covered;
    for (int n = 1; n <= CAN_SendDB::kDataBytes && s->covered; ++n) {
      if (*s->covered & (1u << (n - 1))) covered << ByteName(n);
    }
    QString over = s->covered ? covered.join(QStringLiteral(", ")) : tr("ほかのすべてのバイト");
    if (s->data_id) {
      over +=
          tr("、データID 0x%1")
              .arg(QString::number(*s->data_id, 16).toUpper().rightJustified(4, QLatin1Char('0')));
    }
    lines << tr("チェックサム：%1 に %2（%3）")
                 .arg(ByteName(s->byte), AlgorithmName(s->algorithm), over);
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace telpod
