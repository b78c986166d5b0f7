// Dialog sizes are stated in dialog units of the dialog's own font: a horizontal unit is a
// quarter of the font's average character width, a vertical unit an eighth of its height.
#pragma once

#include <QFontMetrics>
#include <QSize>
#include <QWidget>

namespace tarvo::ui {

inline QSize DialogUnitsToPixels(const QWidget& widget, int width, int height) {
  const QFontMetrics metrics(widget.font());
  return {width * metrics.averageCharWidth() / 4, height * metrics.height() / 8};
}

// The window flags of the program's dialogs: a title bar without system menu or close box.
inline constexpr Qt::WindowFlags kDialogWindowFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

}  // namespace tarvo::ui
