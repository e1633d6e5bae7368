#pragma once
// Painting support shared by the display controls: the off-screen buffer that
// is copied to the window in one step, the controls' font, and text drawing at
// an aligned anchor.
//
// Thread contract: GUI thread only (they paint widgets).
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <string>

#include "controls/gauges/QvGaugeGeometry.h"

// "Arial" at a pixel height in logical units, antialiased; weight 600 unless given.
QFont QvControlFont(int pixelHeight, int weight = 600);

// Latin-1 view of an 8-bit control text.
QString QvText(const std::string& text);

// Draws text so that it sits at anchor with the given alignment; returns the
// rectangle it occupies.
QRect QvDrawAlignedText(QPainter& painter, QPoint anchor, QvTextAlign align, const QString& text);

// Paints the whole widget into an off-screen image and copies the image to the
// widget in one step, so that a repaint never shows half a picture.
template <typename Draw>
void QvPaintBuffered(QWidget& widget, Draw&& draw) {
  const qreal ratio = widget.devicePixelRatioF();
  QImage image(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return;
  image.setDevicePixelRatio(ratio);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(painter);
  }
  QPainter target(&widget);
  target.drawImage(0, 0, image);
}
