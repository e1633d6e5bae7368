#include "controls/gauges/QvPaintSupport.h"
#include "controls/common/TextBytes.h"
#include "controls/gauges/QvPaintSupport.h"

#include <QFontMetrics>
#include <QFontMetricsF>

#include <cmath>
#include <map>

namespace {

// Advance of a digit in Arial, in ems (the same for the regular and bold faces).
constexpr double kArialDigitEm = 0.556;

// Stretch that narrows a substitute for "Arial" to Arial's digit width, so
// that numbers fit the layouts drawn for it; 100 when the font is not wider.
// Measured once per weight (GUI thread only).
int StretchForArialWidths(QFont font) {
  static std::map<int, int> stretchByWeight;
  const int weight = font.weight();
  const auto cached = stretchByWeight.find(weight);
  if (cached != stretchByWeight.end()) return cached->second;
  font.setPixelSize(100);
  const double digitEm = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0')) / 100.0;
  int stretch = 100;
  if (digitEm > kArialDigitEm * 1.02)
    stretch = std::max(50, static_cast<int>(std::lround(100.0 * kArialDigitEm / digitEm)));
  stretchByWeight.emplace(weight, stretch);
  return stretch;
}

// Em size, per unit of cell height, of the face that stands for "Arial" at
// this weight. Control font heights are cell heights (ascent plus descent),
// while Qt's pixel size is the em size. Measured once per weight (GUI thread
// only).
double EmPerCellHeight(QFont font) {
  static std::map<int, double> ratioByWeight;
  const int weight = font.weight();
  const auto cached = ratioByWeight.find(weight);
  if (cached != ratioByWeight.end()) return cached->second;
  font.setPixelSize(1000);
  const QFontMetricsF metrics(font);
  const double cell = metrics.ascent() + metrics.descent();
  const double ratio = cell > 0 ? 1000.0 / cell : 1.0;
  ratioByWeight.emplace(weight, ratio);
  return ratio;
}

}  // namespace

QFont QvControlFont(int pixelHeight, int weight) {
  QFont font(QStringLiteral("Arial"));
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setStyleStrategy(QFont::PreferAntialias);
  const int stretch = StretchForArialWidths(font);
  if (stretch != 100) font.setStretch(stretch);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelHeight * EmPerCellHeight(font)))));
  return font;
}

QString QvText(const std::string& text) {
  return TextFromBytes(text);
}

QRect QvDrawAlignedText(QPainter& painter, QPoint anchor, QvTextAlign align, const QString& text) {
  const QFontMetrics metrics(painter.font());
  const QSize size(metrics.horizontalAdvance(text), metrics.height());
  const QRect rect = QvAlignedTextRect(anchor, size, metrics.ascent(), align);
  painter.drawText(QPoint(rect.left(), rect.top() + metrics.ascent()), text);
  return rect;
}
