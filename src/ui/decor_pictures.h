// The decoration row at the bottom of the main window: three small drawn pictures (the
// camera, its boards, and how the last run ended). The first two carry no information.
#pragma once

#include <QPixmap>

namespace tarvo::ui {

inline constexpr int kDecorPictureCount = 3;
// The picture that shows how the last run ended.
inline constexpr int kRunPictureIndex = 2;

enum class RunPictureState { kNeutral, kSuccess, kFailure };

// Picture 0, 1 or 2 at its fixed size (114 x 133, 200 x 133 and 118 x 133 pixels), drawn
// sharp for a screen with the given device pixel ratio. The state applies to picture 2 only.
QPixmap DecorPicture(int index, qreal pixelRatio,
                     RunPictureState state = RunPictureState::kNeutral);

}  // namespace tarvo::ui
