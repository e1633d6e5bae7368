#include "app/window/ToolbarImages.h"

#include <QApplication>
#include <QBitmap>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include "controls/common/QvColor.h"

namespace {

const QColor kMagenta(255, 0, 255);

// Dark inks (outlines, the stop square, the pause bars) turn light on a dark
// tool bar; light and vivid colours stay as they are.
struct Inks {
  bool dark = false;
  QColor operator()(const QColor& c) const {
    if (!dark || c.lightness() >= 110) return c;
    return QColor::fromHsl(std::max(c.hslHue(), 0), c.hslSaturation(), 255 - c.lightness());
  }
};

void DrawFolder(QPainter& p, int x, const Inks& ink) {
  p.setPen(ink(QColor(120, 90, 0)));
  p.setBrush(QColor(240, 200, 60));
  p.drawRect(x + 1, 4, 13, 9);
  p.drawRect(x + 1, 3, 5, 2);
}

void DrawImage(QPainter& p, int index, const Inks& ink = {}) {
  const int x = index * kToolbarImageSize;
  p.setRenderHint(QPainter::Antialiasing, false);
  switch (index) {
    case 0:  // open a definition
      DrawFolder(p, x, ink);
      break;
    case 1:  // save a definition: a disk
      p.setPen(ink(QColor(20, 20, 80)));
      p.setBrush(QColor(40, 70, 170));
      p.drawRect(x + 1, 1, 13, 13);
      p.setBrush(Qt::white);
      p.drawRect(x + 4, 2, 7, 5);
      p.setBrush(QColor(160, 160, 160));
      p.drawRect(x + 4, 10, 7, 4);
      break;
    case 18: {  // edit a definition: a pencil over a page
      p.setPen(ink(QColor(90, 90, 90)));
      p.setBrush(Qt::white);
      p.drawRect(x + 2, 1, 9, 13);
      p.setPen(QPen(QColor(200, 120, 0), 3));
      p.drawLine(x + 6, 12, x + 14, 4);
      p.setPen(QPen(ink(Qt::black), 1));
      p.drawPoint(x + 5, 13);
      break;
    }
    case 19:  // record: a red dot
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setPen(ink(QColor(120, 0, 0)));
      p.setBrush(QColor(220, 20, 20));
      p.drawEllipse(QRectF(x + 2.5, 2.5, 11, 11));
      break;
    case 20: {  // play: a triangle
      QPainterPath path;
      path.moveTo(x + 4, 2);
      path.lineTo(x + 13, 8);
      path.lineTo(x + 4, 14);
      path.closeSubpath();
      p.setPen(ink(QColor(0, 90, 0)));
      p.setBrush(QColor(30, 170, 30));
      p.drawPath(path);
      break;
    }
    case 21:  // pause: two bars
      p.setPen(Qt::NoPen);
      p.setBrush(ink(QColor(40, 40, 120)));
      p.drawRect(x + 3, 2, 4, 12);
      p.drawRect(x + 9, 2, 4, 12);
      break;
    case 22:  // stop: a square
      p.setPen(Qt::NoPen);
      p.setBrush(ink(QColor(40, 40, 40)));
      p.drawRect(x + 3, 3, 10, 10);
      break;
    case 23:  // load a log: a folder with a trace
      DrawFolder(p, x, ink);
      p.setPen(QColor(200, 0, 0));
      p.drawLine(x + 3, 11, x + 6, 7);
      p.drawLine(x + 6, 7, x + 9, 10);
      p.drawLine(x + 9, 10, x + 12, 6);
      break;
    case 28: {  // connect / disconnect: a plug
      p.setPen(ink(QColor(30, 30, 30)));
      p.setBrush(ink(QColor(90, 90, 90)));
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

// Draws one image of the strip as vectors at any size, in the colours of the
// application palette in force when it paints: crisp at every device pixel
// ratio, and light inks on a dark tool bar.
class ToolbarIconEngine : public QIconEngine {
 public:
  explicit ToolbarIconEngine(int index) : index_(index) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    painter->save();
    painter->translate(rect.topLeft());
    painter->scale(rect.width() / static_cast<double>(kToolbarImageSize),
                   rect.height() / static_cast<double>(kToolbarImageSize));
    painter->translate(-index_ * kToolbarImageSize, 0);
    if (mode == QIcon::Disabled) painter->setOpacity(0.35);
    DrawImage(*painter, index_, Inks{QvIsDarkPalette(QApplication::palette())});
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    QPixmap image(size * scale);
    if (image.isNull()) return image;
    image.fill(Qt::transparent);
    {
      QPainter painter(&image);
      paint(&painter, QRect(QPoint(0, 0), image.size()), mode, state);
    }
    image.setDevicePixelRatio(scale);
    return image;
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
  QIconEngine* clone() const override { return new ToolbarIconEngine(index_); }
  QString key() const override { return QStringLiteral("varnak-toolbar"); }

 private:
  int index_;
};

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
  return QIcon(new ToolbarIconEngine(index));
}
