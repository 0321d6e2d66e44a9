#pragma once

#include <QPixmap>

namespace telpod {

// The 160 x 19 caution banner shown while connected: a yellow warning
// diamond with "!" and `words` ("ウィンドウに触れるな!!"), made smaller
// where they would not fit.
QPixmap DrawCautionBanner(const QString& words);

}  // namespace telpod
