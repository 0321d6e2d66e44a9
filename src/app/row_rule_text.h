#pragma once

#include <QCoreApplication>
#include <QString>

#include "model/row_rule.h"

namespace telpod {

// How the window names a row's rule: the marker at the row, its tooltip,
// and the algorithms as the dialog lists them.
class RowRuleText {
  Q_DECLARE_TR_FUNCTIONS(RowRuleText)

 public:
  // "CNT", "H2F", "CNT+H2F"; empty for a row without a rule.
  static QString Marker(const RowRule& rule);
  // What the rule writes into each frame, one line per part.
  static QString Description(const RowRule& rule);
  static QString AlgorithmName(ChecksumAlgorithm algorithm);
};

}  // namespace telpod
