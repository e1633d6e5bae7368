#include "app/window/ToolbarImages.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor kMagenta(255, 0, 255);

void DrawFolder(QPainter& p, int x) {
  p.setPen(QColor(120, 90, 0));
  p.setBrush(QColor(240, 200, 60));
  p.drawRect(x + 1, 4, 13, 9);
  p.drawRect(x + 1, 3, 5, 2);
}

void DrawImage(QPainter& p, int index) {
  const int x = index * kToolbarImageSize;
  p.setRenderHint(QPainter::Antialiasing, false);
  switch (index) {
    case 0:  // open a definition
      DrawFolder(p, x);
      break;
    case 1:  // save a definition: a disk
      p.setPen(QColor(20, 20, 80));
      p.setBrush(QColor(40, 70, 170));
      p.drawRect(x + 1, 1, 13, 13);
      p.setBrush(Qt::white);
      p.drawRect(x + 4, 2, 7, 5);
      p.setBrush(QColor(160, 160, 160));
      p.drawRect(x + 4, 10, 7, 4);
      break;
    case 18: {  // edit a definition: a pencil over a page
      p.setPen(QColor(90, 90, 90));
      p.setBrush(Qt::white);
      p.drawRect(x + 2, 1, 9, 13);
      p.setPen(QPen(QColor(200, 120, 0), 3));
      p.drawLine(x + 6, 12, x + 14, 4);
      p.setPen(QPen(Qt::black, 1));
      p.drawPoint(x + 5, 13);
      break;
    }
    case 19:  // record: a red dot
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setPen(QColor(120, 0, 0));
      p.setBrush(QColor(220, 20, 20));
      p.drawEllipse(QRectF(x + 2.5, 2.5, 11, 11));
      break;
    case 20: {  // play: a triangle
      QPainterPath path;
      path.moveTo(x + 4, 2);
      path.lineTo(x + 13, 8);
      path.lineTo(x + 4, 14);
      path.closeSubpath();
      p.setPen(QColor(0, 90, 0));
      p.setBrush(QColor(30, 170, 30));
      p.drawPath(path);
      break;
    }
    case 21:  // pause: two bars
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(40, 40, 120));
      p.drawRect(x + 3, 2, 4, 12);
      p.drawRect(x + 9, 2, 4, 12);
      break;
    case 22:  // stop: a square
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(40, 40, 40));
      p.drawRect(x + 3, 3, 10, 10);
      break;
    case 23:  // load a log: a folder with a trace
      DrawFolder(p, x);
      p.setPen(QColor(200, 0, 0));
      p.drawLine(x + 3, 11, x + 6, 7);
      p.drawLine(x + 6, 7, x + 9, 10);
      p.drawLine(x + 9, 10, x + 12, 6);
      break;
    case 28: {  // connect / disconnect: a plug
      p.setPen(QColor(30, 30, 30));
      p.setBrush(QColor(90, 90, 90));
      p.drawRect(x + 4, 5, 8, 6);
      p.drawLine(x + 6, 1, x + 6, 5);
      p.drawLine(x + 10, 1, x + 10, 5);
      p.setPen(QPen(QColor(0, 120, 200), 2));
      p.drawLine(x + 8, 11, x + 8, 15);
      break;
    }
    default:
      break;  // unused places of the strip stay transparent
  }
}

}  // namespace

QImage ToolbarImageStrip() {
  QImage strip(kToolbarImageCount * kToolbarImageSize, kToolbarImageSize, QImage::Format_RGB32);
  strip.fill(kMagenta);
  QPainter p(&strip);
  for (int i = 0; i < kToolbarImageCount; ++i) DrawImage(p, i);
  return strip;
}

QIcon ToolbarIcon(int index) {
  if (index < 0 || index >= kToolbarImageCount) return {};
  static const QImage strip = ToolbarImageStrip();
  QPixmap image =
      QPixmap::fromImage(strip.copy(index * kToolbarImageSize, 0, kToolbarImageSize, kToolbarImageSize));
  image.setMask(image.createMaskFromColor(kMagenta, Qt::MaskInColor));
  return QIcon(image);
}
