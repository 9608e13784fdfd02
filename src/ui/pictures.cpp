#include "ui/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace stelvo {

QImage DrawCometPicture(QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // Drawn on a 64 x 64 design grid: the head at the lower left, the tail
  // streaming to the upper right, away from the Sun.
  p.scale(size.width() / 64.0, size.height() / 64.0);

  // Night sky, so the comet stands out on light and dark grounds alike.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(16, 24, 64));
  p.drawRoundedRect(QRectF(1, 1, 62, 62), 12, 12);
  p.setBrush(QColor(230, 230, 255));
  for (const QPointF star :
       {QPointF(10, 12), QPointF(28, 8), QPointF(50, 44), QPointF(40, 56), QPointF(8, 28)}) {
    p.drawEllipse(star, 1.4, 1.4);
  }

  QPainterPath tail;
  tail.moveTo(14, 42);
  tail.cubicTo(26, 26, 44, 10, 62, 2);
  tail.cubicTo(50, 16, 38, 34, 22, 50);
  tail.closeSubpath();
  QLinearGradient tailFill(18, 46, 60, 4);
  tailFill.setColorAt(0, QColor(140, 215, 255, 255));
  tailFill.setColorAt(1, QColor(140, 215, 255, 40));
  p.setPen(Qt::NoPen);
  p.setBrush(tailFill);
  p.drawPath(tail);

  // The dust tail, curved and yellowish.
  QPainterPath dust;
  dust.moveTo(16, 46);
  dust.quadTo(40, 40, 60, 20);
  dust.quadTo(44, 46, 20, 52);
  dust.closeSubpath();
  QLinearGradient dustFill(18, 48, 60, 22);
  dustFill.setColorAt(0, QColor(255, 225, 130, 255));
  dustFill.setColorAt(1, QColor(255, 220, 120, 0));
  p.setBrush(dustFill);
  p.drawPath(dust);

  QRadialGradient coma(16, 48, 12);
  coma.setColorAt(0, QColor(255, 255, 255));
  coma.setColorAt(0.35, QColor(255, 240, 160));
  coma.setColorAt(1, QColor(255, 200, 80, 0));
  p.setBrush(coma);
  p.drawEllipse(QPointF(16, 48), 12, 12);
  return image;
}

QIcon CometIcon() {
  QIcon icon;
  for (int side : {16, 32, 48, 64}) {
    icon.addPixmap(QPixmap::fromImage(DrawCometPicture(QSize(side, side))));
  }
  return icon;
}

namespace {

QImage MenuCanvas() {
  QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

}  // namespace

QIcon ExitMenuPicture() {
  QImage image = MenuCanvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(90, 60, 30), 1));
  p.setBrush(QColor(170, 120, 60));
  p.drawRect(QRectF(2.5, 1.5, 8, 13));  // door
  p.setPen(QPen(QColor(200, 0, 0), 2));
  p.drawLine(QPointF(8, 8), QPointF(15, 8));  // arrow out
  p.drawLine(QPointF(12, 5), QPointF(15, 8));
  p.drawLine(QPointF(12, 11), QPointF(15, 8));
  return QIcon(QPixmap::fromImage(image));
}

QIcon HelpMenuPicture() {
  QImage image = MenuCanvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0, 60, 160), 1));
  p.setBrush(QColor(60, 120, 220));
  p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
  QFont font = p.font();
  font.setPixelSize(12);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
  return QIcon(QPixmap::fromImage(image));
}

QIcon VersionMenuPicture() { return QIcon(QPixmap::fromImage(DrawCometPicture(QSize(16, 16)))); }

}  // namespace stelvo
