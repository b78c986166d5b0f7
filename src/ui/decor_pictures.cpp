#include "ui/decor_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace tarvo::ui {
namespace {

constexpr int kHeight = 133;
constexpr int kWidths[kDecorPictureCount] = {114, 200, 118};

const QColor kCard(231, 235, 241);
const QColor kCardEdge(208, 213, 221);
const QColor kBody(58, 63, 72);
const QColor kAccent(38, 110, 200);

// A rounded card behind each picture, with a soft top-to-bottom shade.
void DrawCard(QPainter& painter, const QRectF& area) {
  QLinearGradient shade(area.topLeft(), area.bottomLeft());
  shade.setColorAt(0, kCard.lighter(104));
  shade.setColorAt(1, kCard.darker(103));
  painter.setPen(QPen(kCardEdge, 1));
  painter.setBrush(shade);
  painter.drawRoundedRect(area.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

void DrawCamera(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(kBody.lighter(120));
  painter.drawRoundedRect(QRectF(28, 34, 26, 12), 3, 3);  // top housing
  painter.setBrush(kBody);
  painter.drawRoundedRect(QRectF(14, 42, 86, 58), 8, 8);  // body
  const QPointF centre(57, 71);
  painter.setBrush(QColor(34, 37, 43));
  painter.drawEllipse(centre, 23, 23);  // lens ring
  QRadialGradient glass(centre + QPointF(-4, -4), 18);
  glass.setColorAt(0, kAccent.lighter(160));
  glass.setColorAt(1, kAccent.darker(140));
  painter.setBrush(glass);
  painter.drawEllipse(centre, 16, 16);
  painter.setBrush(QColor(255, 255, 255, 170));
  painter.drawEllipse(centre + QPointF(-6, -6), 4, 4);  // reflection
  painter.setBrush(QColor(226, 62, 52));
  painter.drawEllipse(QPointF(90, 51), 3, 3);  // recording light
}

void DrawChip(QPainter& painter, const QRectF& chip) {
  painter.setPen(QPen(QColor(200, 204, 210), 2));
  for (int pin = 0; pin < 4; ++pin) {
    const double x = chip.left() + 5 + pin * (chip.width() - 10) / 3;
    painter.drawLine(QPointF(x, chip.top() - 4), QPointF(x, chip.top()));
    painter.drawLine(QPointF(x, chip.bottom()), QPointF(x, chip.bottom() + 4));
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(30, 32, 36));
  painter.drawRoundedRect(chip, 2, 2);
  painter.setBrush(QColor(90, 94, 102));
  painter.drawEllipse(chip.topLeft() + QPointF(5, 5), 2, 2);  // pin-one mark
}

void DrawBoard(QPainter& painter) {
  const QRectF board(18, 28, 164, 78);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(38, 112, 88));
  painter.drawRoundedRect(board, 6, 6);
  painter.setBrush(QColor(26, 88, 68));
  for (const QPointF hole :
       {board.topLeft() + QPointF(8, 8), board.topRight() + QPointF(-8, 8),
        board.bottomLeft() + QPointF(8, -8), board.bottomRight() + QPointF(-8, -8)}) {
    painter.drawEllipse(hole, 3, 3);
  }
  // Traces between the chips.
  painter.setPen(QPen(QColor(214, 180, 92), 2));
  painter.setBrush(Qt::NoBrush);
  for (const double y : {58.0, 66.0, 74.0}) {
    painter.drawLine(QPointF(36, y), QPointF(164, y));
  }
  for (const double x : {52.0, 100.0, 148.0}) DrawChip(painter, QRectF(x - 16, 50, 32, 32));
}

// A disc with a mark: a check for success, a cross for failure, three dots while no run has
// ended (or one is going on).
void DrawRunState(QPainter& painter, RunPictureState state) {
  const QPointF centre(59, 67);
  const QColor colour = state == RunPictureState::kSuccess   ? QColor(46, 160, 96)
                        : state == RunPictureState::kFailure ? QColor(210, 58, 50)
                                                             : QColor(160, 166, 176);
  QColor halo = colour;
  halo.setAlpha(60);
  painter.setPen(Qt::NoPen);
  painter.setBrush(halo);
  painter.drawEllipse(centre, 34, 34);
  painter.setBrush(colour);
  painter.drawEllipse(centre, 27, 27);
  painter.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  QPainterPath mark;
  switch (state) {
    case RunPictureState::kSuccess:
      mark.moveTo(centre + QPointF(-13, 1));
      mark.lineTo(centre + QPointF(-4, 10));
      mark.lineTo(centre + QPointF(14, -9));
      break;
    case RunPictureState::kFailure:
      mark.moveTo(centre + QPointF(-10, -10));
      mark.lineTo(centre + QPointF(10, 10));
      mark.moveTo(centre + QPointF(10, -10));
      mark.lineTo(centre + QPointF(-10, 10));
      break;
    case RunPictureState::kNeutral:
      // Filled dots, not stroked lines.
      for (const double x : {-11.0, 0.0, 11.0}) mark.addEllipse(centre + QPointF(x, 0), 3.5, 3.5);
      painter.setPen(Qt::NoPen);
      painter.setBrush(Qt::white);
      break;
  }
  painter.drawPath(mark);
}

}  // namespace

QPixmap DecorPicture(int index, qreal pixelRatio, RunPictureState state) {
  if (index < 0 || index >= kDecorPictureCount) return {};
  QPixmap picture(static_cast<int>(kWidths[index] * pixelRatio),
                  static_cast<int>(kHeight * pixelRatio));
  picture.setDevicePixelRatio(pixelRatio);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawCard(painter, QRectF(0, 0, kWidths[index], kHeight));
  switch (index) {
    case 0:
      DrawCamera(painter);
      break;
    case 1:
      DrawBoard(painter);
      break;
    default:
      DrawRunState(painter, state);
      break;
  }
  return picture;
}

}  // namespace tarvo::ui
