#include "QvPaintSupport.h"

#include <QFontMetrics>

QFont QvControlFont(int pixelHeight, int weight) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(std::max(1, pixelHeight));
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

QString QvText(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QRect QvDrawAlignedText(QPainter& painter, QPoint anchor, QvTextAlign align, const QString& text) {
  const QFontMetrics metrics(painter.font());
  const QSize size(metrics.horizontalAdvance(text), metrics.height());
  const QRect rect = QvAlignedTextRect(anchor, size, metrics.ascent(), align);
  painter.drawText(QPoint(rect.left(), rect.top() + metrics.ascent()), text);
  return rect;
}
