// The decoration row at the bottom of the main window: three small drawn pictures (the
// camera, its boards, a finished update). They carry no information.
#pragma once

#include <QPixmap>

namespace tarvo::ui {

inline constexpr int kDecorPictureCount = 3;

// Picture 0, 1 or 2, at its fixed size (114 x 133, 200 x 133 and 118 x 133 pixels).
QPixmap DecorPicture(int index);

}  // namespace tarvo::ui
