#include "ui/program_look.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyleFactory>

namespace tarvo::ui {
namespace {

// Readable on the usual screens; the toolkit's default on a bare X server is smaller.
constexpr int kMinimumFontPoints = 10;

QPalette LightPalette() {
  QPalette palette;
  palette.setColor(QPalette::Window, QColor(243, 244, 246));
  palette.setColor(QPalette::WindowText, QColor(28, 30, 33));
  palette.setColor(QPalette::Base, QColor(255, 255, 255));
  palette.setColor(QPalette::AlternateBase, QColor(236, 238, 241));
  palette.setColor(QPalette::Text, QColor(28, 30, 33));
  palette.setColor(QPalette::Button, QColor(250, 250, 251));
  palette.setColor(QPalette::ButtonText, QColor(28, 30, 33));
  palette.setColor(QPalette::Highlight, QColor(38, 110, 200));
  palette.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
  palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
  palette.setColor(QPalette::ToolTipText, QColor(28, 30, 33));
  palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(150, 153, 158));
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(150, 153, 158));
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(150, 153, 158));
  palette.setColor(QPalette::Disabled, QPalette::Base, QColor(243, 244, 246));
  return palette;
}

}  // namespace

void ApplyProgramLook() {
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
    QApplication::setStyle(style);
  }
  QApplication::setPalette(LightPalette());
  QFont font = QApplication::font();
  if (font.pointSize() > 0 && font.pointSize() < kMinimumFontPoints) {
    font.setPointSize(kMinimumFontPoints);
    QApplication::setFont(font);
  }
}

}  // namespace tarvo::ui
