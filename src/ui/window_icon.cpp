#include "ui/window_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tarvo::ui {
namespace {

// A camera body with its lens and a download arrow: firmware going into the camera.
QPixmap DrawIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(32, 72, 120));
  painter.drawRoundedRect(QRectF(4, 16, 56, 40), 7, 7);
  painter.drawRoundedRect(QRectF(12, 10, 18, 10), 3, 3);

  painter.setBrush(QColor(230, 236, 244));
  painter.drawEllipse(QPointF(32, 37), 14, 14);
  painter.setBrush(QColor(20, 40, 70));
  painter.drawEllipse(QPointF(32, 37), 9, 9);

  QPainterPath arrow;
  arrow.moveTo(47, 2);
  arrow.lineTo(57, 2);
  arrow.lineTo(57, 12);
  arrow.lineTo(62, 12);
  arrow.lineTo(52, 22);
  arrow.lineTo(42, 12);
  arrow.lineTo(47, 12);
  arrow.closeSubpath();
  painter.setBrush(QColor(40, 170, 80));
  painter.drawPath(arrow);
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  QIcon drawn;
  for (const int size : {16, 24, 32, 48, 64, 128}) drawn.addPixmap(DrawIcon(size));
  // An installed program finds its icon in the desktop's icon theme.
  return QIcon::fromTheme(QString::fromLatin1(kProgramIconName), drawn);
}

}  // namespace tarvo::ui
