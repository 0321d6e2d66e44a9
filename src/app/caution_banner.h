#pragma once

#include <QPixmap>

namespace telpod {

// The 160 x 19 caution banner shown while connected: a yellow warning
// diamond with "!" and the words "ウィンドウに触れるな!!".
QPixmap DrawCautionBanner();

}  // namespace telpod
